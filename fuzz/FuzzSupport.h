#pragma once

#include "common/Messages.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: a Qt application on the offscreen platform, a
// data folder of its own (NIMBULON_HOME) in TMPDIR, quiet logging, and message
// boxes that are only counted.
namespace fuzz {

// Once, from LLVMFuzzerInitialize. gui: a QGuiApplication (text documents need
// fonts) instead of a QCoreApplication.
void Initialize(int* argc, char*** argv, bool gui);

// The data folder, with a trailing "/".
QString Home();
void WriteHomeFile(const QString& name, const QByteArray& bytes);
QByteArray ReadHomeFile(const QString& name);

// Answers every question with No (or Yes, as set) and counts the messages.
class TQuietPresenter : public pas_lib::TMessagePresenter
{
public:
    QCoro::Task<pas_lib::TMessageAnswer> Present(pas_lib::TMessageKind kind, QString text) override;
    int Count = 0;
    bool AnswerYes = false;
    QString Last;
};
TQuietPresenter& Presenter();

// A property of the code under test does not hold: the fuzzer reports the input.
[[noreturn]] void Fail(const char* what, const QString& detail = QString());

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzz::Fail(#condition, detail);                                                        \
    } while (false)
