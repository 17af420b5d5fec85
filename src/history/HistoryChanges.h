#pragma once
// How a keyword record moved between two runs, and the counts the status bar and the command line
// show after a run: "3 rose, 1 fell, 6 stayed".

#include "model/RankRunState.h"

#include <QString>

enum class Trend {
    Rose,   // found higher up, or found after a run that did not find it
    Fell,   // found lower down, or lost
    Stayed, // the same position, or not ranked both times
    Unknown // asking failed in either run: nothing is known of a move
};

// The move from the value before (status and position) to the value now.
Trend CompareValues(ValueStatus before, int positionBefore, ValueStatus now, int positionNow);

// The keyword records of a run, each against its latest earlier value that did not fail; a record
// without such a value, and one whose value failed now, counts in none of the three.
struct RankChanges {
    int Rose = 0;
    int Fell = 0;
    int Stayed = 0;

    void Count(Trend trend);
};

// "3 rose, 1 fell, 6 stayed"
QString ChangesText(const RankChanges& changes);
