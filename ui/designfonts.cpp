// SPDX-License-Identifier: GPL-3.0-or-later
#include "designfonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>

namespace tavrin {

namespace {

// Free look-alikes from Debian's font packages.
const QHash<QString, QString>& substitutes()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("Viner Hand ITC"), QStringLiteral("Dancing Script")},
        {QStringLiteral("Nervous Rex"), QStringLiteral("StayPuft")},
        {QStringLiteral("Mistral"), QStringLiteral("Kaushan Script")},
        {QStringLiteral("Agency FB"), QStringLiteral("Yanone Kaffeesatz")},
        {QStringLiteral("Matura MT Script Capitals"), QStringLiteral("Lobster Two")},
        {QStringLiteral("FontleroyBrown"), QStringLiteral("Leckerli One")},
        {QStringLiteral("Bambi Bold"), QStringLiteral("Comic Neue")},
        {QStringLiteral("Rockwell Extra Bold"), QStringLiteral("Roboto Slab")},
        {QStringLiteral("AtlandSketches BB"), QStringLiteral("Cabin Sketch")},
        {QStringLiteral("Blade 2"), QStringLiteral("League Spartan")},
        {QStringLiteral("Blackadder ITC"), QStringLiteral("Lobster Two")},
        {QStringLiteral("Baskerville Old Face"), QStringLiteral("Goudy Bookletter 1911")},
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Bauhaus 93"), QStringLiteral("Comfortaa")},
        {QStringLiteral("Apocalypse Now"), QStringLiteral("Blankenburg_UNZ1A")},
    };
    return table;
}

// Asking Qt for a family it does not know makes it rebuild its alias table,
// which costs far more than looking the name up once in the installed list.
bool isInstalled(const QString& family)
{
    static const QSet<QString> installed = [] {
        const QStringList families = QFontDatabase::families();
        QSet<QString> names;
        for (const QString& name : families)
            names.insert(name.toCaseFolded());
        return names;
    }();
    return installed.contains(family.toCaseFolded());
}

// The installed family that stands for a designed one.
QString resolvedFamily(const QString& family)
{
    static QHash<QString, QString> resolved;
    const auto found = resolved.constFind(family);
    if (found != resolved.constEnd())
        return *found;
    QString result = family;
    if (!isInstalled(family)) {
        const QString substitute = substitutes().value(family);
        if (!substitute.isEmpty() && isInstalled(substitute))
            result = substitute;
        else
            result = QFont().defaultFamily();
    }
    resolved.insert(family, result);
    return result;
}

}  // namespace

QFont designFont(const QString& family, qreal pointSize, int weight, bool italic)
{
    QFont font;
    font.setFamilies({resolvedFamily(family)});
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace tavrin
