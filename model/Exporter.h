#ifndef EXPORTER_H
#define EXPORTER_H

class QVorrelScene;

// The frame sink of sequence export. While a document plays with export
// armed, the play loop calls begin once, exportFrame once per played frame
// and end once. The scene owns its exporter and deletes it through this
// interface.
class Exporter
{
public:
    virtual ~Exporter();

    // Prepares a run; false disarms the export for that run, and end still
    // follows at its close. A failing begin tells the user why itself.
    virtual bool begin(QVorrelScene *scene);
    virtual bool exportFrame(QVorrelScene *scene) = 0;
    virtual bool end();
};

#endif // EXPORTER_H
