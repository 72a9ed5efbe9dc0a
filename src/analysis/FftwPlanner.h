#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

struct fftw_plan_s;

// FFTW's planner keeps tables that all plans share, so only executing a plan is thread-safe.
// Every plan is made and destroyed while holding this lock; executing needs no lock.
std::unique_lock<std::mutex> LockFftwPlanner();

struct FftwPlanDeleter {
    void operator()(fftw_plan_s* plan) const; // takes the planner lock itself
};
struct FftwFree {
    void operator()(double* p) const;
};

using FftwPlan = std::unique_ptr<fftw_plan_s, FftwPlanDeleter>;
using FftwArray = std::unique_ptr<double[], FftwFree>;

// count doubles with the alignment FFTW's vector code wants; throws std::bad_alloc when memory
// runs out. Plans are made with FFTW_ESTIMATE: measuring would delay the window by seconds.
FftwArray AllocateFftwArray(std::size_t count);
