#include "app/ViewHost.h"

namespace {
ViewHost *s_current = nullptr;
}

ViewHost::~ViewHost()
{
    if (s_current == this)
        s_current = nullptr;
}

ViewHost *ViewHost::current()
{
    return s_current;
}

void ViewHost::setCurrent(ViewHost *host)
{
    s_current = host;
}
