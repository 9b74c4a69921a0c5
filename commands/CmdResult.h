#ifndef CMDRESULT_H
#define CMDRESULT_H

// What running a command did: whether it changed the document, and whether
// the geometry of the selection changed, so that the selection box must be
// placed again.
class CmdResult
{
public:
    CmdResult(bool documentChanged, bool selectionChanged);

    bool documentChanged() const { return m_documentChanged; }
    bool selectionChanged() const { return m_selectionChanged; }

private:
    bool m_documentChanged;
    bool m_selectionChanged;
};

#endif // CMDRESULT_H
