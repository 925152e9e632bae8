// Posts counterparty records through the record editor, a new editor per record as a card
// makes one, each batch of records in one write transaction that the caller commits. Runs on
// the embedded engine and, when scripts/test.sh's server is up (its server.env variables are
// set), through that server. Prints records a second: the median of the rounds.
#include "Atr.h"
#include "AtrItem.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 7;
constexpr int RecordsPerRound = 2000;
constexpr int RecordsPerTransaction = 500;
constexpr double EmbeddedTarget = 20000;
constexpr double ServerTarget = 3000;

void PostOne(TObj &obj, int n)
{
    TAtr atr;
    atr.SetObj(&obj);
    // A card makes an item for every control before it sets the defaults.
    for (TFld *fld : *obj.FldList)
        atr.GetAddByFld(fld);
    atr.SetDefaultValues(nullptr, Variant::Null());
    atr.GetAddByFldName("CONTRAG_NAME")->SetValue(QString("Контрагент %1").arg(n));
    atr.GetAddByFldName("CONTRAG_INN")->SetValue(QString::number(7700000000LL + n));
    atr.GetAddByFldName("CONTRAG_PHONE")->SetValue(QString("+7 495 %1").arg(n, 7, 10, QChar('0')));
    atr.GetAddByFldName("CONTRAG_BUYER")->SetValue(n % 2 == 0);
    atr.Post();
}

// Records a second over one round.
double Round(TDB &db, TObj &obj, int &n)
{
    QElapsedTimer timer;
    timer.start();
    for (int done = 0; done < RecordsPerRound; done += RecordsPerTransaction) {
        db.StartTransaction();
        for (int i = 0; i < RecordsPerTransaction; ++i)
            PostOne(obj, ++n);
        db.CommitTransaction();
    }
    return RecordsPerRound / (double(timer.nsecsElapsed()) / 1e9);
}

// Logs in with the settings file, posts the rounds, prints the median against the target.
void Measure(const char *where, const QString &iniFile, double target)
{
    TDB::SetIniFileName(iniFile);
    TDB db;
    DB = &db;
    db.Connect();
    db.Init();
    db.Login("admin", "");
    TObj &obj = *db.ObjList->GetObjByTable("CONTRAG");
    int n = 0;
    Round(db, obj, n);   // warms the caches up; not counted
    const qint64 preparesBefore = TIBSQL::PrepareTotal();
    std::vector<double> rates;
    for (int r = 0; r < Rounds; ++r)
        rates.push_back(Round(db, obj, n));
    const qint64 prepares = TIBSQL::PrepareTotal() - preparesBefore;
    std::sort(rates.begin(), rates.end());
    std::printf("%s: median %.0f records/s (best %.0f, worst %.0f; %d rounds of %d records, %d a transaction); "
                "statements prepared while posting: %lld; target >= %.0f: %s\n",
                where, rates[rates.size() / 2], rates.back(), rates.front(), Rounds, RecordsPerRound,
                RecordsPerTransaction, static_cast<long long>(prepares), target,
                rates[rates.size() / 2] >= target ? "met" : "NOT met");
    db.Deinit();
    db.Disconnect();
    DB = nullptr;
}

QString WriteIni(const QDir &dir, const QString &content)
{
    QFile ini(dir.filePath("tessar.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(content.toUtf8());
    return ini.fileName();
}

} // namespace

int main()
{
#ifndef KORVENIX_TEMPLATE_DB
    std::fprintf(stderr, "built without the template database\n");
    return 2;
#else
    try {
        {
            QTemporaryDir dir;
            const QString path = QDir(dir.path()).filePath("post.fdb");
            QFile::copy(KORVENIX_TEMPLATE_DB, path);
            Measure("embedded", WriteIni(QDir(dir.path()), QString("[DataBase]\nDataBaseName=%1\n").arg(path)),
                    EmbeddedTarget);
        }
        const QString host = qEnvironmentVariable("KORVENIX_SERVER_HOST");
        const QString serverDir = qEnvironmentVariable("KORVENIX_SERVER_DIR");
        if (host.isEmpty() || serverDir.isEmpty()) {
            std::printf("server: not measured (no KORVENIX_SERVER_HOST; scripts/test.sh's server.env sets it)\n");
            return 0;
        }
        QTemporaryDir dir(QDir(serverDir).filePath("post-bench-XXXXXX"));
        const QString path = QDir(dir.path()).filePath("post.fdb");
        QFile::copy(KORVENIX_TEMPLATE_DB, path);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner);
        QTemporaryDir iniDir;
        Measure("server", WriteIni(QDir(iniDir.path()), QString("[DataBase]\nDataBaseName=%1:%2\nuser_name=%3\npassword=%4\n")
                                                            .arg(host, path, qEnvironmentVariable("KORVENIX_SERVER_USER"),
                                                                 qEnvironmentVariable("KORVENIX_SERVER_PASSWORD"))),
                ServerTarget);
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
#endif
}
