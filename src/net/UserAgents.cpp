#include "net/UserAgents.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace {
// Browsers as they were when the servers were set up; three entries repeat earlier ones.
const char* const userAgents[] = {
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)",
    "Mozilla/4.0 (compatible; MSIE 4.0; Windows 98; DigExt)",
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 95; DigExt)",
    "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95; DigExt)",
    "Mozilla/4.72 [en] (Win95; I)",
    "Mozilla/4.72 [en] (Win98; I)",
    "Mozilla/4.71 [en] (Win98; I)",
    "Mozilla/4.70 [en] (Win98; I)",
    "Mozilla/4.5 [en] (Win98; I)",
    "Mozilla/4.1 [en] (Win95; I)",
    "Mozilla/4.0 [en] (Win95; I)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Win32)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; sl-SI; rv:1.7.5) Gecko/20041108 Firefox/1.0",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.1.4322)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7.5) Gecko/20041107 Firefox/1.0",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)",
    "Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322; .NET CLR 1.0.3705)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7) Gecko/20040803 Firefox/0.9.3",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.7.3) Gecko/20041001 Firefox/0.10.1",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; FunWebProducts)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98; Win 9x 4.90)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; FunWebProducts)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; FunWebProducts; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1) Opera 7.54 [en]",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1) Opera 7.54u1 [en]",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; FunWebProducts; SV1; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SA-DCC)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.1 [en] (Win95; I); "
    "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95; DigExt); .NET CLR 1.1.4322)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.0; en-US; rv:1.7.5) Gecko/20041107 Firefox/1.0",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.0 (compatible; MSIE 6.0; "
    "Win32))",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.5) Gecko/20031007 Firebird/0.7",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.7.3) Gecko/20040913 Firefox/0.10.1",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Win 9x 4.90)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; (R1 1.5))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; FunWebProducts; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; Mozilla/4.0 (compatible; MSIE 6.0; Windows "
    "NT 5.1); Mozilla/4.72 [en] (Win95; I))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; (R1 1.5))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Crazy Browser 1.0.5)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.0 (compatible; MSIE 4.0; "
    "Windows 98; DigExt))",
    "Mozilla/5.0 (Windows; U; Windows NT 5.0; rv:1.7.3) Gecko/20041001 Firefox/0.10.1",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 95)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 4.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; {F43C317D-A7A1-4782-984F-146E8B271EBB})",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; en)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322; .NET CLR "
    "2.0.40607)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; .NET CLR 1.1.4322)",
    "Mozilla/5.0 (Windows; U; Windows NT 5.0; sl-SI; rv:1.7.5) Gecko/20041108",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; sl-SI; rv:1.7.2) Gecko/20040803",
    "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98; Hotbar 4.5.1.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; Mozilla/4.0 (compatible; MSIE 4.0; Windows "
    "98; DigExt))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1) Opera 7.51 [en]",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; Renault)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.0.3705)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.0.3705; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Hotbar 4.5.1.0; iebar; .NET CLR "
    "1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; MathPlayer 2.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.5 [en] (Win98; I); "
    "Mozilla/4.0 (compatible; MSIE 6.0; Win32); Mozilla/4.0 (compatible; MSIE 4.0; Windows 98; "
    "DigExt); Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1); Mozilla/4.0 [en] (W",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7) Gecko/20040614 Firefox/0.9",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; sl-SI; rv:1.6) Gecko/20040113",
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 2000) Opera 6.05 [sl]",
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows 95; DigExt)",
    "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98; FunWebProducts)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98; Hotbar4.5.3.0)",
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 5.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Mozilla/4.0 (compatible; MSIE 4.0; Windows 98; "
    "DigExt))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Q312461)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0) Opera 7.54 [en]",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; FunWebProducts; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; FunWebProducts-MyWay)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; Mozilla/4.0 (compatible; MSIE 6.0; Win32))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; Q321017; FunWebProducts)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; We Do !)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1) Opera 7.23 [en]",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; (R1 1.5); .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705; .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 2.0.40607)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; FunWebProducts)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; FunWebProducts; SV1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; Hotbar 4.4.6.0)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; iebar; SV1)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; Mozilla/4.0 (compatible; MSIE 5.0; Windows "
    "98; DigExt); .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; Mozilla/4.1 [en] (Win95; I); Mozilla/4.71 "
    "[en] (Win98; I); .NET CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; MyIE2)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; FDM)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; FunWebProducts; Mozilla/4.0 "
    "(compatible; MSIE 4.0; Windows 95; DigExt); Mozilla/4.70 [en] (Win98; I))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Hotbar 4.5.1.0; Mozilla/4.71 [en] "
    "(Win98; I); .NET CLR 1.1.4322; Alexa Toolbar)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.5 [en] (Win98; I); .NET CLR "
    "1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.70 [en] (Win98; I))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.71 [en] (Win98; I))",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Mozilla/4.72 [en] (Win98; I); .NET "
    "CLR 1.1.4322)",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Sgrunt|V109|19|S339776134|dialno; "
    "snprtz|dialno)",
    "Mozilla/5.0 (Windows; U; Win98; sl-SI; rv:1.6) Gecko/20040113",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-GB; rv:1.0.1) Gecko/20020823 Netscape/7.0",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.6) Gecko/20040113",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7) Gecko/20040626 Firefox/0.9.1",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7.2) Gecko/20040803",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.7.5) Gecko/20041217",
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.8a6) Gecko/20050106 Firefox/1.0+",
    "Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.7.5) Gecko/20041113 Firefox/1.0",
};
} // namespace

const QStringList& UserAgentTable()
{
    static const QStringList table = [] {
        QStringList list;
        for (const char* agent : userAgents)
            list.append(QString::fromLatin1(agent));
        return list;
    }();
    return table;
}

QString PickUserAgent()
{
    const QStringList& table = UserAgentTable();
    return table.at(qsizetype(QRandomGenerator::global()->bounded(quint32(table.size()))));
}
