#include "clock.h"

namespace {
const Clock *g_installed = nullptr;
}

const Clock &Clock::current()
{
    static SystemClock system;
    return g_installed ? *g_installed : system;
}

void Clock::install(const Clock *c)
{
    g_installed = c;
}
