#ifndef CMDCONVERTSELECTED_H
#define CMDCONVERTSELECTED_H

#include "commands/CmdOutlineSelected.h"

// Converts the outlines of the selected objects to curves (mode 1) or to
// lines (mode 0); any other mode leaves them. The history shows "Reset".
class CmdConvertSelected : public CmdOutlineSelected
{
public:
    enum Mode { ToLines = 0, ToCurves = 1 };

    CmdConvertSelected(QVorrelScene *scene, int mode);

    int mode() const { return m_mode; }

protected:
    void applyTo(TextObject *object) override;

private:
    int m_mode;
};

#endif // CMDCONVERTSELECTED_H
