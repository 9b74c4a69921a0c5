#ifndef SOFTTYPE_H
#define SOFTTYPE_H

#include <QString>

class Glyph;

// Base of every deformation behaviour that a glyph carries. A kind supplies
// its type key, deforms a glyph's current outline in apply and copies itself
// in clone. The glyph owns its SoftTypes, runs apply of each enabled one per
// play step, and finds them by name.
class SoftType
{
public:
    virtual ~SoftType();

    // A new SoftType of the same kind with the same name and values.
    virtual SoftType *clone() const = 0;
    // Deforms the glyph's current outline for the scene's current frame.
    virtual void apply(Glyph *glyph) = 0;

    QString typeKey() const { return m_typeKey; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

protected:
    SoftType(const QString &typeKey, const QString &name);

private:
    QString m_typeKey;
    QString m_name;
    bool m_enabled = true;
};

#endif // SOFTTYPE_H
