#pragma once

#include <QList>
#include <functional>

// What the benches share: figures and their own waiting (a bench may wait in
// a loop of its own; the program never does).

// The middle of the samples; 0 for none.
double Median(QList<double> samples);
// The process's resident memory in KiB; -1 when it cannot be read.
long ResidentKiB();
// Runs events until the condition holds, checking it every pollMs.
void RunUntil(const std::function<bool()>& done, int pollMs = 2);
