#include "windowfakes.h"

FakeDesktop::FakeDesktop()
{
    Desktop::install(this);
}
FakeDesktop::~FakeDesktop()
{
    Desktop::install(nullptr);
}

bool FakeDesktop::open(const QString &target)
{
    opened << target;
    return openResult;
}
