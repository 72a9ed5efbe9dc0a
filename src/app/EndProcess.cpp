#include "EndProcess.h"

#include <cstdio>
#include <cstdlib>

int EndProcess(int code) {
#ifdef QUAVELORIN_QT_AUDIO
    std::fflush(nullptr);
    std::_Exit(code);
#else
    return code;
#endif
}
