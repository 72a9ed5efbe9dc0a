#include "FftwPlanner.h"

#include <fftw3.h>

#include <new>

std::unique_lock<std::mutex> LockFftwPlanner() {
    static std::mutex planner;
    return std::unique_lock(planner);
}

void FftwPlanDeleter::operator()(fftw_plan_s* plan) const {
    const auto lock = LockFftwPlanner();
    fftw_destroy_plan(plan);
}

void FftwFree::operator()(double* p) const {
    fftw_free(p);
}

FftwArray AllocateFftwArray(std::size_t count) {
    FftwArray array(fftw_alloc_real(count));
    if (!array) {
        throw std::bad_alloc();
    }
    return array;
}
