#pragma once
// The key of a data source given without the command line, where other users of the machine can
// read it (the shell's history, the process list): from standard input, a file or the environment.

#include <QString>

// Holds the key when neither --key nor --key-file gives one.
inline constexpr char KeyVariable[] = "QUORVEX_KEY";

// key is the value of --key (null when not given) and becomes the key: "-" is read from standard
// input, without echo at a terminal. keyFile is the value of --key-file (null when not given): the
// key is its first line. Without either, a source that takes a key gets the environment's. The
// problem, when a key was asked for and none could be read; key is then unchanged.
QString TakeKey(QString& key, const QString& keyFile, bool takesKey);
