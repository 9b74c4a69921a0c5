#ifndef ACTIVESCENE_H
#define ACTIVESCENE_H

#include <functional>

class QVorrelScene;

// How a dock finds the document it acts on when the user clicks in it. No
// panel keeps a scene: it asks at that moment. The main window installs
// itself as the provider; tests install their own.
class ActiveScene
{
public:
    using Provider = std::function<QVorrelScene *()>;

    // The scene of the active document, or null (also when no provider is
    // installed).
    static QVorrelScene *get();
    static void setProvider(Provider provider);
};

#endif // ACTIVESCENE_H
