#include "panels/ActiveScene.h"

namespace {
ActiveScene::Provider &provider()
{
    static ActiveScene::Provider p;
    return p;
}
}

QVorrelScene *ActiveScene::get()
{
    return provider() ? provider()() : nullptr;
}

void ActiveScene::setProvider(Provider p)
{
    provider() = std::move(p);
}
