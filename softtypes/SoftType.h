#ifndef SOFTTYPE_H
#define SOFTTYPE_H

#include <QHash>
#include <QMap>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <QVariant>
#include <QVector>
#include <cmath>
#include <memory>

class Glyph;
class GlyphPath;
class PseudoRandom;
class QDataStream;
class QVorrelScene;
class QtProperty;
class QtVariantProperty;
class QtVariantPropertyManager;

// Base of every deformation behaviour that a glyph carries. A SoftType owns
// its parameters, named and typed, created in a fixed order: the five base
// parameters "name", "enabled", "trigger", "radius" and "toggle key", then
// the kind's own. Each frame reads their values, so an edit acts on the next
// frame.
//
// The parameters are kept compactly: a kind's names, types, ranges and
// defaults are one table shared by all its SoftTypes, and their values one
// array shared until a SoftType changes one, so that a document of many
// SoftTypes costs little. The
// property manager that shows and edits them as properties is made, with a
// property for every parameter, on first use (propertyManager, property,
// createProperty, addOrSetProperty); from then on every change goes through
// the properties, which clamp and refuse values as the manager does, and the
// parameters follow each property's value. Without properties a value is
// taken exactly as its property would take it.
//
// Each play frame the glyph calls apply. A SoftType deforms on a frame when
// its trigger holds and the frame follows the last one it recorded; any
// other frame merely records the frame number and mouse position (reset).
// So the first frame of a run moves nothing, but the frames a button is up
// are recorded too, and the first frame of a button press does deform, with
// the mouse's motion since the frame before. After a deforming frame step
// records them likewise.
class SoftType
{
public:
    // Values of "trigger".
    enum Trigger { AlwaysActive = 0, MouseLeftButton = 1, MouseMiddleButton = 2, MouseRightButton = 3 };

    virtual ~SoftType();

    // A new SoftType of the same kind with the same name and values; the
    // frame state starts afresh.
    virtual SoftType *clone() const = 0;
    // Deforms the glyph's current outline for its scene's current frame:
    // beginFrame, then deform and endFrame when the frame deforms.
    virtual void apply(Glyph *glyph);
    // Records the scene's frame and mouse position; kinds with per-element
    // state drop it first. Nothing happens without a scene.
    virtual void reset(QVorrelScene *scene);
    // Records the scene's frame and mouse position after a deforming frame.
    virtual void step(QVorrelScene *scene);

    const QString &typeKey() const { return m_typeKey; }
    // The type key as texts show it: the first letter in upper case, the
    // rest in lower case ("Originate linear", "Twirl").
    QString kindText() const;
    // The SoftType's own manager, holding every parameter as a property;
    // made with the properties on first use, deleted with the SoftType.
    QtVariantPropertyManager *propertyManager() const;
    // Names in creation order: the order of the stream and of the dialog.
    QStringList propertyNames() const;
    // The property registered under the name (making the manager), or null.
    QtVariantProperty *property(const QString &name) const;
    // The properties of all parameters in creation order (making the
    // manager); null in the place of one deleted.
    QVector<QtVariantProperty *> properties() const;

    QString name() const { return m_name; }
    void setName(const QString &name);
    bool isEnabled() const;
    void setEnabled(bool enabled);
    int trigger() const;
    int radius() const;

    // A new property of the type, registered under the name; null, with
    // nothing registered, when the manager does not support the type.
    QtVariantProperty *createProperty(int type, const QString &name);
    // The property of that name, created with the type when absent, set to
    // the value (clamped by the property); null when it cannot be created.
    QtVariantProperty *addOrSetProperty(int type, const QString &name, const QVariant &value);
    // The same for the parameter alone, making no property: false, with
    // nothing changed, when the name has no parameter and the type cannot
    // make one.
    bool addOrSetValue(int type, const QString &name, const QVariant &value);

    // Every parameter's value by name.
    QHash<QString, QVariant> values() const;
    // Sets each value on its parameter; names without one become new
    // parameters of the value's type, created in name order.
    void setValues(const QHash<QString, QVariant> &values);

    int lastFrame() const { return m_lastFrame; }
    QPointF lastMousePosition() const { return m_lastMousePosition; }

    bool isNextFrame(int frame) const { return m_lastFrame + 1 == frame; }
    // Whether the trigger holds for the scene's mouse buttons.
    bool isTriggered(Qt::MouseButtons buttons) const;
    // Radius 0 is unlimited; otherwise the distance must not exceed it.
    bool isInRadius(int distance) const { return withinRadius(radius(), distance); }

    friend QDataStream &operator<<(QDataStream &out, const SoftType &softType);
    friend QDataStream &operator>>(QDataStream &in, SoftType &softType);

protected:
    SoftType(const QString &typeKey, const QString &name);

    // The vector from a scene point to the mouse with its components in
    // single precision, and its length from those components in double.
    struct MouseVector
    {
        MouseVector() = default;
        MouseVector(const QPointF &mouse, const QPointF &point)
            : x(float(mouse.x() - point.x())), y(float(mouse.y() - point.y())), length(SoftType::length(x, y))
        {
        }
        float x = 0;
        float y = 0;
        double length = 0;
    };

    // What one deforming frame reads once, before it visits the elements.
    struct Frame
    {
        QVorrelScene *scene = nullptr;
        QPointF mouse;
        // The mouse position minus the one recorded at the last frame.
        QPointF motion;
        int radius = 0;
        // The glyph's item transformation into the scene and back; a mere
        // translation, the usual case, is applied as the graphics item
        // applies it, by adding and subtracting its offset.
        QTransform toScene;
        QTransform fromScene;
        bool translateOnly = true;
        // The glyph's current outline.
        QPainterPath *outline = nullptr;
        // The random sequence deform draws from: the process-wide one, or,
        // in a spread play step, the glyph's own standing where the
        // glyph's values fall in it.
        PseudoRandom *random = nullptr;

        // A point in glyph coordinates mapped to the scene and back.
        QPointF map(const QPointF &itemPoint) const
        {
            return translateOnly ? QPointF(itemPoint.x() + toScene.dx(), itemPoint.y() + toScene.dy())
                                 : toScene.map(itemPoint);
        }
        QPointF unmap(const QPointF &scenePoint) const
        {
            return translateOnly ? QPointF(scenePoint.x() - toScene.dx(), scenePoint.y() - toScene.dy())
                                 : fromScene.map(scenePoint);
        }
        // Element i of the current outline in scene coordinates.
        QPointF sceneAt(int i) const { return map(elementPosition(*outline, i)); }
        // The radius test of a distance truncated toward zero.
        bool reaches(double distance) const { return withinRadius(radius, distance); }
        // Glyph::moveElementBy with the transformations taken once a frame:
        // element i, now at the scene point, moves by a displacement in
        // scene coordinates; one that is not finite moves nothing.
        void moveBy(int i, const QPointF &scenePoint, const QPointF &sceneDelta) const
        {
            if (!std::isfinite(sceneDelta.x()) || !std::isfinite(sceneDelta.y()))
                return;
            const QPointF moved = unmap(scenePoint + sceneDelta);
            outline->setElementPositionAt(i, moved.x(), moved.y());
        }
    };

    // The common start of apply: false, after a reset where one is due,
    // when this frame deforms nothing (no scene, trigger not held, or not
    // the frame after the last one); otherwise fills the frame.
    bool beginFrame(Glyph *glyph, Frame &frame);
    // The kind's work on a deforming frame. A kind whose deform reads and
    // writes nothing but the glyph's outlines, its own state and the frame
    // says so with deformsAlone: the play step then deforms such glyphs
    // side by side on several threads (SoftTypeStepper), through these
    // three rather than apply. Anything else, the scene or what other
    // glyphs share, belongs to beginFrame or endFrame, which run on the GUI
    // thread in glyph order.
    virtual void deform(Glyph *glyph, const Frame &frame);
    virtual bool deformsAlone() const { return false; }
    // A kind whose deform draws from frame.random says so with drawsRandom
    // (and deforms alone); randomDraws tells, before deform runs, how many
    // values it will draw on the frame from the outline as it stands. The
    // play step starts each glyph's values where the glyphs before it leave
    // the sequence, and moves the sequence on past them.
    virtual bool drawsRandom() const { return false; }
    virtual int randomDraws(const Frame &frame) const;
    // Ends a deforming frame: records it with step.
    virtual void endFrame(const Frame &frame);

    // The element of the first count elements of an outline nearest to the
    // mouse (among equal distances the lowest index), with its mouse vector;
    // index -1 when count is 0.
    struct Nearest
    {
        int index = -1;
        MouseVector toMouse;
    };
    static Nearest nearestElement(const QPainterPath &outline, int count, const Frame &frame);

    // Whether two points a, b of the current outline are stretched beyond
    // the elasticity: their distance over that of their rest places ra, rb,
    // each length rounded to single precision, exceeds it. A zero rest
    // length stretches any non-zero current length, and nothing at zero.
    static bool isStretched(const QPointF &a, const QPointF &b, const QPointF &ra, const QPointF &rb,
                            double elasticity);

    // An element on its way back to its rest place: both positions in glyph
    // coordinates and current - rest in single precision with its length.
    struct Offset
    {
        QPointF current;
        QPointF rest;
        float x;
        float y;
        double length;
    };
    // Sets every element of the current outline within the radius to the
    // place the function gives for its offset and the kind's parameter.
    using RestorePlace = QPointF (*)(const Offset &offset, double parameter);
    static void restoreElements(Glyph *glyph, const Frame &frame, double parameter, RestorePlace place);

    // The number of elements the current and rest outlines both have.
    static int pairedCount(const GlyphPath &path);
    static QPointF elementPosition(const QPainterPath &path, int index)
    {
        const QPainterPath::Element &e = path.elementAt(index);
        return QPointF(e.x, e.y);
    }

    // The length of a vector given in single precision, in double.
    static double length(float x, float y) { return std::sqrt(double(x) * double(x) + double(y) * double(y)); }
    // For a distance d >= 0, int(d) <= radius exactly when d < radius + 1;
    // the comparison also stays defined for distances beyond int's range.
    static bool withinRadius(int radius, double distance) { return radius == 0 || distance < radius + 1.0; }

    // A Double parameter with its default and range, for kind constructors:
    // its slot for parameter and setParameter, -1 when it was not created.
    int addDoubleParameter(const QString &name, const QVariant &value, int minimum, int maximum);
    // The value of a numeric parameter the kind declared, as a double; a
    // plain read; 0.0 for slot -1.
    double parameter(int slot) const { return slot < 0 ? 0.0 : m_numbers.at(slot); }
    // Sets the parameter in a slot as its property would take the value;
    // for a Double parameter that is not shown a plain, bounded store.
    void setParameter(int slot, const QVariant &value);
    void setParameter(int slot, double value);

    // A new SoftType of the kind with this one's name and values, extra
    // properties included and created in this one's order.
    template<class Kind>
    SoftType *cloneAs() const
    {
        SoftType *copy = new Kind(name());
        copy->copyValuesFrom(*this);
        return copy;
    }

private:
    Q_DISABLE_COPY(SoftType)
    friend class SoftTypeStepper;

    // beginFrame with the glyph's scene and scene transformation, which the
    // play step takes once for all the glyph's SoftTypes.
    bool beginFrame(Glyph *glyph, QVorrelScene *scene, const QTransform &toScene, Frame &frame);

    // The base parameters' slots.
    enum { NameSlot, EnabledSlot, TriggerSlot, RadiusSlot, ToggleKeySlot };

    // One parameter: what its property would be made with, and its value.
    struct Parameter
    {
        QString name;
        // A property type of QtVariantPropertyManager.
        int type = 0;
        // The value of a Bool (0 or 1), Int, Double or enumeration (the
        // index); for a declared parameter its default, the value being
        // kept in m_numbers.
        double number = 0;
        // The value of a String, Color or PointF; the name's own value is
        // kept beside the table (m_name).
        QVariant other;
        // The range of an Int or Double: the manager's default, or the
        // attributes "minimum" and "maximum".
        double minimum = -2147483647;
        double maximum = 2147483647;
        // The "enumNames" of an enumeration; a list shared by every SoftType.
        const QStringList *enumNames = nullptr;

        bool isDeclaredAs(const Parameter &other) const;
        // Whether the value is a number rather than other.
        bool isNumber() const;
    };
    // What the constructors of a kind declare, shared by its SoftTypes.
    struct KindTable
    {
        QVector<Parameter> parameters;
        QVector<double> numbers;
    };
    // The manager and its properties, made on first use.
    struct Sheet;

    // The tables of the kinds by type key: a SoftType starts from its kind's
    // table and shares it while it declares the same parameters.
    static QHash<QString, KindTable> &kindTables();
    static Parameter newParameter(int type, const QString &name);
    int count() const { return m_count + m_extras.size(); }
    const Parameter &at(int slot) const;
    // Appends a parameter the constructors declare, sharing the entry of the
    // kind's table where every earlier one matched; the slot.
    int declare(const Parameter &parameter);
    // Appends a parameter beyond the declared ones; the slot.
    int append(const Parameter &parameter);
    // Puts a new parameter in a slot's place.
    void replace(int slot, const Parameter &parameter);
    // The slot of a name, or -1.
    int slotOf(const QString &name) const;
    QVariant valueAt(int slot) const;
    // Takes the value as the parameter's property would take it.
    void setValueAt(int slot, const QVariant &value);
    // Stores a value as a property holds it.
    void store(int slot, const QVariant &value);
    Sheet &sheet() const;
    void show(int slot) const;
    // The slot whose parameter the property shows, or -1.
    int slotOfProperty(const QtProperty *property) const;
    void copyValuesFrom(const SoftType &source);

    QString m_typeKey;
    QString m_name;
    // The parameters the kind declared, in creation order, and their
    // values: the kind's tables, shared until a value changes. Entries from
    // m_count on are not this SoftType's.
    QVector<Parameter> m_table;
    QVector<double> m_numbers;
    int m_count = 0;
    int m_lastFrame = -1;
    QPointF m_lastMousePosition;
    // The parameters a file or setValues added, with their values, after
    // the declared ones.
    QVector<Parameter> m_extras;
    // Once there are too many parameters to search, their slots by name.
    // Ordered, not hashed: a file could choose names that all hash alike.
    mutable std::unique_ptr<QMap<QString, int>> m_index;
    mutable std::unique_ptr<Sheet> m_sheet;
};

// The SoftType record: a qint32 count, then count pairs of the property's
// name (QString) and value (QVariant) in creation order. Reading applies
// each pair to the SoftType, creating parameters it does not have, and
// stops at the first pair the stream cannot deliver.
QDataStream &operator<<(QDataStream &out, const SoftType &softType);
QDataStream &operator>>(QDataStream &in, SoftType &softType);

#endif // SOFTTYPE_H
