#pragma once

#include "settings/ParameterNames.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QVariant>
#include <utility>

// A parameter's value: empty, text, integer, logical, real or date-time.
using ParameterValue = QVariant;

struct trec_parameter
{
    char TypeLetter = 'C'; // "C" text, "I" integer, "L" logical, "D" date-time, "R" real
    ParameterValue Value;
};

// Every user setting, by upper-case name, persisted in section PARAMETRI of
// Config.ini. Safe to read from a download worker while the main thread sets.
// Code names a parameter by TParam; the forms taking a text serve names that
// come from tables.
class Tparameter
{
public:
    void Define(const QString& name, char typeLetter, const ParameterValue& defaultValue);
    ParameterValue Get(TParam parameter) const { return Get(QString(ParameterName(parameter))); }
    ParameterValue Get(const QString& name) const;
    void Set(TParam parameter, const ParameterValue& value)
    {
        Set(QString(ParameterName(parameter)), value);
    }
    void Set(const QString& name, const ParameterValue& value);
    void LoadAll();
    void SaveAll();

    // Names in the list's order.
    QStringList Names() const;
    // The type letter of a parameter; 0 for an unknown name.
    char TypeOf(const QString& name) const;
    // The text that is written to Config.ini for a value of this type (unquoted).
    static QString TextForm(char typeLetter, const ParameterValue& value);

private:
    const trec_parameter* Find(const QString& upperName) const;

    mutable QMutex FLock;
    QList<std::pair<QString, trec_parameter>> FList;
};

// The process-wide store; created by CreateParameters.
extern Tparameter* parametri;

// Creates the store with every parameter of the program and loads Config.ini.
void CreateParameters();

enum class TIniMode { Read, Write };
// Reads or writes one value of Config.ini; section and key are upper-cased.
QString ConfigIniValue(TIniMode mode, const QString& key, const QString& value,
                       const QString& section);
