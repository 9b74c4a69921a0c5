#ifndef SELECTEDLISTITERATOR_H
#define SELECTEDLISTITERATOR_H

class QVorrelScene;
class TextObject;

// The scene's selected objects in the order in which they were selected.
// It reads the scene's own list, which must not change during the walk.
class SelectedListIterator
{
public:
    explicit SelectedListIterator(QVorrelScene *scene);
    virtual ~SelectedListIterator();

    bool hasNext() const;
    TextObject *next();

private:
    QVorrelScene *m_scene;
    int m_position = 0;
};

#endif // SELECTEDLISTITERATOR_H
