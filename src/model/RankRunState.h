#pragma once
// The jobs, request queues and results of one rank run; filled by the parsers by slot number and
// read by the report.

#include "model/Market.h"
#include "model/SourceChoices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// What a run learnt of one value: a value, a look that found none (not ranked, or not among the
// first Depth results), or nothing, because asking failed.
enum class ValueStatus { Found, NotRanked, Failed };

struct PositionJob {
    QString URL;
    QString Product;
    QString Keyword;
    int Rank = 0; // 1 to 100; 0 while none is found
    QString ViewURL;
    int Page1 = -1; // result pages of ten (0-based) for the follow-up passes; -1 = none
    int Page2 = -1;
    int Page3 = -1;
    std::array<QString, 10> Top10;
    ValueStatus Status = ValueStatus::NotRanked;
    int Depth = 100;     // the results looked through
    Market SearchMarket; // where the keyword is searched: the entry's own market, or the default
};

struct RankRunState {
    int RunPhase = 0; // 0 first pass, 1 and 2 follow-up passes
    int ProgressSteps = 0;

    // PageRank jobs, one slot per checked PageRank entry.
    int PRJobCount = 0;
    QStringList PRJobURL;
    QStringList PRJobPageURL;  // the page itself, as typed: its summary and the report's links
    QStringList PRJobPageRank; // "0/10" until an answer is stored
    QStringList PRJobAlexa;    // "Not Available" until an answer is stored
    QStringList PRJobTitle;
    QStringList PRJobDescription;
    QStringList PRJobKeywords;
    QStringList PRJobQueryURL; // one more than the jobs in the first pass: the maker's page
    QStringList PRJobAlexaURL;
    QList<ValueStatus> PRJobPageRankStatus;
    QList<ValueStatus> PRJobAlexaStatus;

    // The sources the run asked, as they were when it started, and in words.
    SourceSettings Sources;
    QString SourcesText;

    int PRQueryCount = 0;
    int PRQueryNext = 0;
    int AlexaCount = 0;
    int AlexaNext = 0;
    int TitleCount = 0;
    int TitleNext = 0;
    int SearchCount = 0;
    int SearchNext = 0;
    QStringList SearchURL;
    QStringList SearchTag; // download key of search m without its leading letter

    int PositionJobCount = 0;
    QList<PositionJob> PositionJobs;
    int PositionEntriesTaken = 0;
};
