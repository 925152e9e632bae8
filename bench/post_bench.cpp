// Posts counterparty records through the record editor, a new editor per record as a card
// makes one, each batch of records in one write transaction that the caller commits. Runs on
// the embedded engine and, when scripts/test.sh's server is up (its server.env variables are
// set), through that server. Prints records a second, the median of the rounds: over the posts
// alone (the figure the target is for) and with the commits, whose disk flush depends on the
// disk and on whatever else writes to it more than on this code.
#include "Atr.h"
#include "AtrItem.h"
#include "Fld.h"
#include "IBSQL.h"
#include "Main.h"
#include "Obj.h"
#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::Median;

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

struct TRate
{
    double Posts;          // records a second over the posts
    double WithCommits;    // records a second over the posts and the commits
};

TRate Round(TDB &db, TObj &obj, int &n)
{
    qint64 posting = 0, committing = 0;
    QElapsedTimer timer;
    for (int done = 0; done < RecordsPerRound; done += RecordsPerTransaction) {
        db.StartTransaction();
        timer.start();
        for (int i = 0; i < RecordsPerTransaction; ++i)
            PostOne(obj, ++n);
        posting += timer.nsecsElapsed();
        timer.start();
        db.CommitTransaction();
        committing += timer.nsecsElapsed();
    }
    return {RecordsPerRound / (double(posting) / 1e9), RecordsPerRound / (double(posting + committing) / 1e9)};
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
    std::vector<double> posts, withCommits;
    for (int r = 0; r < Rounds; ++r) {
        const TRate rate = Round(db, obj, n);
        posts.push_back(rate.Posts);
        withCommits.push_back(rate.WithCommits);
    }
    const qint64 prepares = TIBSQL::PrepareTotal() - preparesBefore;
    const double median = Median(posts);
    std::printf("%s: %d rounds of %d records, %d to a write transaction\n", where, Rounds, RecordsPerRound,
                RecordsPerTransaction);
    std::printf("  posts: median %.0f records/s (best %.0f, worst %.0f); target >= %.0f: %s\n", median,
                *std::max_element(posts.begin(), posts.end()), *std::min_element(posts.begin(), posts.end()),
                target, median >= target ? "met" : "NOT met");
    std::printf("  posts and commits: median %.0f records/s\n", Median(withCommits));
    std::printf("  statements prepared while posting: %lld\n", static_cast<long long>(prepares));
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

int main(int argc, char *argv[])
{
    // The template database the tests build, or one named on the command line (a build without
    // the tests has none of its own).
    QString templateDb = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
#ifdef KORVENIX_TEMPLATE_DB
    if (templateDb.isEmpty())
        templateDb = KORVENIX_TEMPLATE_DB;
#endif
    if (templateDb.isEmpty() || !QFile::exists(templateDb)) {
        std::fprintf(stderr, "usage: post_bench TEMPLATE_DATABASE (build-test/template.fdb, made by the tests' build)\n");
        return 2;
    }
    try {
        {
            QTemporaryDir dir;
            const QString path = QDir(dir.path()).filePath("post.fdb");
            QFile::copy(templateDb, path);
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
        QFile::copy(templateDb, path);
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
}
