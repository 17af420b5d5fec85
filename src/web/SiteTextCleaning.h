#pragma once
// Cleaning and shortening of a site's title, description and keywords before they go into the site
// database: entities resolved or dropped, only printable ASCII kept, limited lengths.

#include <QString>

inline constexpr qsizetype TitleLimit = 77;
inline constexpr qsizetype DescriptionLimit = 252;
inline constexpr qsizetype KeywordsLimit = 255;

// The four cleaning steps in order: the common entities, numeric character references, characters
// outside printable ASCII and the grave accent as blanks, runs of blanks as one.
QString CleanSiteText(const QString& value);
// Longer than limit: cut to limit, then back before the last blank of those, and "..." appended.
// Without any blank there the cut stays at limit.
QString ShortenAtBlank(const QString& value, qsizetype limit);
// Longer than the keywords limit: cut to it, then back before the last comma when one stands after
// the first character.
QString ShortenKeywords(const QString& value);
