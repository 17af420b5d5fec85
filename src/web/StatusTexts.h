#pragma once
// The status texts the page parsers show while they work.

#include <QString>

inline const QString WorkingText = QStringLiteral("Quorvex is working ...");
inline const QString CompletedAnalysisText = QStringLiteral("Quorvex completed analysis ...");
inline const QString AnalysingPageRankText = QStringLiteral("Quorvex is analysing Page Rank ...");
inline const QString GotPageRankText = QStringLiteral("Quorvex got Google Page Rank ...");
inline const QString AnalysingAlexaText = QStringLiteral("Quorvex is analysing Alexa Traffic Rank ...");
inline const QString GotAlexaText = QStringLiteral("Quorvex got Alexa Traffic Rank ...");
inline const QString CompletedTitleText = QStringLiteral("Quorvex completed web site's title... ");
