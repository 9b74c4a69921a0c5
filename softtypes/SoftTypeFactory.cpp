#include "softtypes/SoftTypeFactory.h"

#include "softtypes/SoftTypeClay.h"
#include "softtypes/SoftTypeCloth.h"
#include "softtypes/SoftTypeDrift.h"
#include "softtypes/SoftTypeExplode.h"
#include "softtypes/SoftTypeLeak.h"
#include "softtypes/SoftTypeLens.h"
#include "softtypes/SoftTypeOriginateAsymptotic.h"
#include "softtypes/SoftTypeOriginateLinear.h"
#include "softtypes/SoftTypePull.h"
#include "softtypes/SoftTypePulse.h"
#include "softtypes/SoftTypeRubber.h"
#include "softtypes/SoftTypeTwirl.h"

namespace {

struct Kind
{
    const char *key;
    SoftType *(*create)(const QString &name);
};

template<class T>
SoftType *make(const QString &name)
{
    return new T(name);
}

template<class T>
constexpr Kind kind()
{
    return {T::Key, &make<T>};
}

constexpr Kind kinds[] = {
    kind<SoftTypeClay>(),  kind<SoftTypeCloth>(), kind<SoftTypeDrift>(),
    kind<SoftTypeExplode>(), kind<SoftTypeLeak>(), kind<SoftTypeLens>(),
    kind<SoftTypeOriginateAsymptotic>(), kind<SoftTypeOriginateLinear>(), kind<SoftTypePull>(),
    kind<SoftTypePulse>(), kind<SoftTypeRubber>(), kind<SoftTypeTwirl>(),
};

} // namespace

QStringList SoftTypeFactory::typeKeys()
{
    QStringList keys;
    for (const Kind &k : kinds)
        keys.append(QString::fromLatin1(k.key));
    return keys;
}

SoftType *SoftTypeFactory::create(const QString &typeKey, const QString &name)
{
    for (const Kind &k : kinds) {
        if (typeKey == QLatin1String(k.key))
            return k.create(name);
    }
    return nullptr;
}
