#include "model/Exporter.h"

Exporter::~Exporter() = default;

bool Exporter::begin(QVorrelScene *)
{
    return true;
}

bool Exporter::end()
{
    return true;
}
