#pragma once
// The keyed, position-dependent substitution through which every stored setting passes.

#include <QString>

// The one key every stored value and built-in service address is scrambled with.
inline constexpr char ScrambleKey[] = "QX7R2M9KV4";

qint32 ScrambleSeed(const QString& key);
// Characters outside codes 32 to 126 are dropped in both directions.
QString ScrambleText(const QString& key, const QString& text);
QString UnscrambleText(const QString& key, const QString& text);
