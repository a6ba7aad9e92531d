#pragma once

#include <QLatin1String>

// Every parameter of the program, in the order CreateParameters defines them.
// An enumerator is spelt as its key in section PARAMETRI of Config.ini, where
// users' files keep it: never rename one. Code names parameters only through
// these, so a misspelt name does not compile.
enum class TParam {
    NE_AVTOMATSKI_ZAGON,
    MINIMIZE_ON_X,
    PREVERI_NOVO_VERZIJO,
    INTERVAL_UPDATE,
    IZKLOPI_OBLACEK,
    INTERVAL_IKONA,
    PRIKAZEM_IKONO,
    PISAVA_VELIKOST,
    FONT_NAME,
    FONT_SIZE,
    FONT_STYLE,
    FONT_COLOR,
    FONT_BG_COLOR,
    PODATKI_V_OBLACKU,
    TI_ZNAK_STOPINJE,
    TI_TRANSPARENT,
    VI_TRANSPARENT,
    KRAJ_AVTOMATSKE,
    KRAJ_OPAZOVALNE,
    KRAJ_AMATERSKE,
    TIP_POSTAJE,
    VREME_OPAZOVALNE,
    PROXY_SERVER,
    PROXY_PORT,
    PROXY_USER,
    PROXY_PWD,
    // Entries of the navigation menu.
    SLIKA_PADAVINE,
    VREMENSKA_NAPOVED,
    NAPOVED_V_SLIKI,
    GRAF_TEMPERATURE,
    SATELITSKA_SLIKA,
    NAPOVED_BIO,
    NAPOVED_JULIJCI,
    NAPOVED_LETALSTVO,
    NAPOVED_VISINSKE,
    SNEZNA_ODEJA,
    ANIMACIJE,
    NAPOVED_EVROPA,
    NAPOVED_PRIMORJE,
    VODOSTAJI,
    AMATERSKE_POSTAJE,
    CAPTION_WRITER,
    // Sort column and sort order of each station table.
    SORT_INDEX_OPAZ,
    SORT_INDEX_AVTO,
    SORT_INDEX_AMAT,
    SORT_INDEX_SN_ODEJA,
    SORT_INDEX_EU,
    SORT_INDEX_VODOST,
    SORT_OPAZ,
    SORT_AVTO,
    SORT_AMAT,
    SORT_SN_ODEJA,
    SORT_EU,
    SORT_VODOST,
    DOWNLOAD_API,
};

inline constexpr int ParameterCount = int(TParam::DOWNLOAD_API) + 1;

// The parameter's key in Config.ini.
QLatin1String ParameterName(TParam parameter);
// Its type letter: "C" text, "I" integer, "L" logical.
char ParameterTypeLetter(TParam parameter);
