#include "support/ProgramProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <csignal>

using namespace Qt::StringLiterals;
using namespace quorel;

namespace
{
struct Ran
{
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Ran run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Ran ran;
    ran.finished = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    ran.exitCode = process.exitCode();
    ran.out = process.readAllStandardOutput();
    ran.err = process.readAllStandardError();
    return ran;
}

bool hasJapanese(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x3040 && c.unicode() <= 0x30ff) || (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff);
    });
}

bool isPlainLatin(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Names reserved for examples (RFC 2606): an address there leads nowhere.
bool isPlaceholderHost(const QString &host)
{
    static const QRegularExpression reserved(u"(^|\\.)(example\\.(org|com|net)|example|invalid|test|localhost)$"_s,
                                             QRegularExpression::CaseInsensitiveOption);
    return reserved.match(host).hasMatch();
}

// The window's captions as it shows them, each with the letter that Alt takes to reach it and the
// English page's plain-ASCII gloss, which a terminal without Japanese still shows.
struct Caption
{
    const char16_t *text;
    char16_t key; // 0 for none
    const char16_t *gloss; // null for a caption in ASCII
};
constexpr Caption windowCaptions[] = {
    {u"ﾍﾞｰｽｱﾄﾞﾚｽ", u'B', u"Base address"},
    {u"ｻﾑﾈｲﾙ", u'N', u"Thumbnails"},
    {u"大きさ", u'O', u"Size"},
    {u"幅", u'H', u"Width"},
    {u"解析", 0, u"Analyse"},
    {u"頭", u'T', u"Head"},
    {u"数字", 0, u"Number"},
    {u"お尻", u'R', u"Tail"},
    {u".TXT", 0, nullptr},
    {u"上書", u'U', u"Overwrite"},
    {u"About", u'A', nullptr},
    {u"げ", 0, u"Get"},
    {u"開始", u'K', u"Start"},
    {u"終了", u'E', u"End"},
    {u"桁数", u'L', u"Digits"},
    {u"作成", u'M', u"Create"},
    {u"保存", u'S', u"Save"},
    {u"表示", u'V', u"View"},
    {u"チェックフォルダ", 0, u"Check folder"},
    {u"...", 0, nullptr},
    {u"出力フォルダ", 0, u"Output folder"},
};
}

// The Debian package that `./dev.sh package` makes, taken apart and checked with Debian's own tools.
// QUOREL_PACKAGE names it; the test command makes the package and sets it.
class TestPackage : public QObject
{
    Q_OBJECT

    QString m_deb;
    QTemporaryDir m_root;

    QString unpacked(const QString &path) const { return m_root.filePath(path); }
    QString metainfoPath() const { return unpacked(u"usr/share/metainfo/" QUOREL_APPSTREAM_ID ".metainfo.xml"_s); }

    QString controlField(const QString &name) const
    {
        return QString::fromUtf8(run(u"dpkg-deb"_s, {u"--field"_s, m_deb, name}).out).trimmed();
    }

    // Every element's text by element name and language ("" for the untranslated, English text).
    QMultiHash<QPair<QString, QString>, QString> metainfoTexts() const
    {
        QMultiHash<QPair<QString, QString>, QString> texts;
        QFile file(metainfoPath());
        if (!file.open(QIODevice::ReadOnly))
            return texts;
        QXmlStreamReader xml(&file);
        const QSet<QString> leaves{u"id"_s,         u"name"_s,   u"summary"_s, u"p"_s,
                                   u"launchable"_s, u"binary"_s, u"url"_s,     u"image"_s};
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            const QString lang = xml.attributes().value(u"xml:lang"_s).toString();
            if (name == u"release"_s)
                texts.insert({name, lang}, xml.attributes().value(u"version"_s).toString());
            else if (leaves.contains(name))
                texts.insert({name, lang}, xml.readElementText().simplified());
        }
        return texts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_deb = qEnvironmentVariable("QUOREL_PACKAGE");
        if (m_deb.isEmpty())
            QSKIP("QUOREL_PACKAGE names no package to check (./dev.sh test makes one)");
        QVERIFY2(QFileInfo::exists(m_deb), qPrintable(m_deb));
        QVERIFY(m_root.isValid());
        const Ran extract = run(u"dpkg-deb"_s, {u"-x"_s, m_deb, m_root.path()});
        QVERIFY2(extract.finished && extract.exitCode == 0, extract.err.constData());
    }

    void fileNameCarriesVersionAndArchitecture()
    {
        QCOMPARE(QFileInfo(m_deb).fileName(), u"quorel_" QUOREL_VERSION "-" QUOREL_PACKAGE_RELEASE "_amd64.deb"_s);
    }

    void controlFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("package") << u"Package"_s << u"quorel"_s;
        QTest::newRow("version") << u"Version"_s << u"" QUOREL_VERSION "-" QUOREL_PACKAGE_RELEASE ""_s;
        QTest::newRow("architecture") << u"Architecture"_s << u"amd64"_s;
        QTest::newRow("maintainer") << u"Maintainer"_s << u"" QUOREL_COMPANY " <" QUOREL_CONTACT ">"_s;
    }

    void controlFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QCOMPARE(controlField(field), value);
    }

    // The libraries come with the minimum versions dpkg-shlibdeps reads from their symbols files;
    // what the program loads or runs without linking it is named by hand.
    void dependencies_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("package");
        QTest::addColumn<bool>("versioned");
        for (const QString &library : {u"libc6"_s, u"libstdc++6"_s, u"libqt6core6"_s, u"libqt6gui6"_s,
                                       u"libqt6widgets6"_s, u"libcurl4"_s, u"libicu72"_s})
            QTest::newRow(qPrintable(library)) << u"Depends"_s << library << true;
        QTest::newRow("Japanese font") << u"Depends"_s << u"fonts-ipafont-gothic"_s << false;
        QTest::newRow("Qt's Japanese texts") << u"Depends"_s << u"qt6-translations-l10n"_s << false;
        QTest::newRow("View's xdg-open") << u"Recommends"_s << u"xdg-utils"_s << false;
    }

    void dependencies()
    {
        QFETCH(QString, field);
        QFETCH(QString, package);
        QFETCH(bool, versioned);
        QStringList found;
        for (const QString &entry : controlField(field).split(u',', Qt::SkipEmptyParts)) {
            const QString relation = entry.trimmed();
            if (relation.section(u' ', 0, 0) == package)
                found << relation;
        }
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().contains(u"(>= "_s), versioned);
    }

    void contents_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : {u"usr/bin/quorel"_s, u"usr/share/applications/quorel.desktop"_s,
                                    u"usr/share/metainfo/" QUOREL_APPSTREAM_ID ".metainfo.xml"_s,
                                    u"usr/share/man/man1/quorel.1.gz"_s, u"usr/share/man/ja/man1/quorel.1.gz"_s,
                                    u"usr/share/doc/quorel/copyright"_s, u"usr/share/doc/quorel/changelog.Debian.gz"_s})
            QTest::newRow(qPrintable(path)) << path;
    }

    void contents()
    {
        QFETCH(QString, path);
        const Ran listing = run(u"dpkg-deb"_s, {u"--contents"_s, m_deb});
        QVERIFY(listing.finished && listing.exitCode == 0);
        QSet<QString> listed;
        for (const QByteArray &line : listing.out.split('\n')) {
            if (!line.isEmpty())
                listed << QString::fromUtf8(line).section(u' ', -1);
        }
        QVERIFY2(listed.contains(u"./"_s + path), qPrintable(path));
        // Where a package puts files, /usr/local and the build machine's folders have no place. The
        // program links all its code, so no module of its own lies in a library folder.
        for (const QString &entry : std::as_const(listed))
            QVERIFY2(entry == u"./"_s
                         || (entry.startsWith(u"./usr/"_s) && !entry.startsWith(u"./usr/local/"_s)
                             && !entry.startsWith(u"./usr/lib/"_s)),
                     qPrintable(entry));
    }

    // Software centres take 64 px and more; the smaller ones serve menus and title bars.
    void themeIcons_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(u"%1 px"_s.arg(size))) << size;
    }

    void themeIcons()
    {
        QFETCH(int, size);
        const QImage icon(unpacked(u"usr/share/icons/hicolor/%1x%1/apps/quorel.png"_s.arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    // Nothing but the warning every first upload gets, as the package closes no bug report yet.
    void lintianFindsNothingElse()
    {
        const Ran lintian = run(u"lintian"_s, {m_deb});
        QVERIFY2(lintian.finished, "lintian did not finish");
        const QByteArray report = lintian.out + lintian.err;
        QVERIFY2(lintian.exitCode == 0, report.constData());
        // Each finding is a line "X: package: tag [where]"; lintian's notes to whoever runs it are not.
        static const QRegularExpression finding(u"^([A-Z]: \\S+: \\S+)"_s);
        QStringList findings;
        for (const QByteArray &line : report.split('\n')) {
            if (const QRegularExpressionMatch match = finding.match(QString::fromUtf8(line)); match.hasMatch())
                findings << match.captured(1);
        }
        QVERIFY2(findings == QStringList{u"W: quorel: initial-upload-closes-no-bugs"_s}, report.constData());
    }

    void desktopEntryValidates()
    {
        const Ran validate = run(u"desktop-file-validate"_s, {unpacked(u"usr/share/applications/quorel.desktop"_s)});
        QVERIFY(validate.finished);
        QCOMPARE(validate.exitCode, 0);
        QCOMPARE(validate.out + validate.err, QByteArray()); // not even a hint
    }

    void metainfoValidates()
    {
        const Ran validate = run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, u"--pedantic"_s, metainfoPath()});
        QVERIFY(validate.finished);
        QVERIFY2(validate.exitCode == 0, (validate.out + validate.err).constData());
    }

    // What a software centre's catalogue is made from: a component whose icon cannot be found
    // there is dropped from it.
    void composeKeepsTheComponentWithItsIcon()
    {
        QTemporaryDir out;
        QVERIFY(out.isValid());
        const Ran compose
            = run(u"appstreamcli"_s,
                  {u"compose"_s, u"--no-net"_s, u"--no-color"_s, u"--origin=quorel"_s, u"--print-report=full"_s,
                   u"--result-root="_s + out.path(), u"--data-dir="_s + out.filePath(u"data"_s),
                   u"--icons-dir="_s + out.filePath(u"icons"_s), u"--hints-dir="_s + out.filePath(u"hints"_s),
                   m_root.path()});
        const QByteArray report = compose.out + compose.err;
        QVERIFY2(compose.finished && compose.exitCode == 0, report.constData());
        QVERIFY2(!report.contains("icon-not-found") && !report.contains("dropped"), report.constData());

        const Ran catalog = run(u"gzip"_s, {u"-dc"_s, out.filePath(u"data/quorel.xml.gz"_s)});
        QVERIFY2(catalog.finished && catalog.exitCode == 0, catalog.err.constData());
        QXmlStreamReader xml(catalog.out);
        QString component;
        QStringList icons;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"id"_s && component.isEmpty()) {
                component = xml.readElementText();
            } else if (xml.name() == u"icon"_s && xml.attributes().value(u"type"_s) == u"cached"_s) {
                const int width = xml.attributes().value(u"width"_s).toInt();
                const int height = xml.attributes().value(u"height"_s).toInt();
                const QString name = xml.readElementText();
                if (width >= 64)
                    icons << u"icons/%1x%2/%3"_s.arg(width).arg(height).arg(name);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(component, u"" QUOREL_APPSTREAM_ID ""_s);
        QVERIFY2(!icons.isEmpty(), catalog.out.constData());
        for (const QString &icon : std::as_const(icons))
            QVERIFY2(QFileInfo::exists(out.filePath(icon)), qPrintable(icon));
    }

    // The project has no home on the web yet: neither the package nor its metainfo may send
    // anyone to a placeholder.
    void addressesLeadSomewhere()
    {
        const auto texts = metainfoTexts();
        QStringList addresses = texts.values({u"url"_s, QString()}) + texts.values({u"image"_s, QString()});
        addresses << controlField(u"Homepage"_s);
        QFile copyright(unpacked(u"usr/share/doc/quorel/copyright"_s));
        QVERIFY(copyright.open(QIODevice::ReadOnly));
        for (const QByteArray &line : copyright.readAll().split('\n')) {
            if (line.startsWith("Source:"))
                addresses << QString::fromUtf8(line.mid(7)).trimmed();
        }
        for (const QString &address : std::as_const(addresses)) {
            if (!address.isEmpty())
                QVERIFY2(!isPlaceholderHost(QUrl(address).host()), qPrintable(address));
        }
    }

    void metainfoNamesThisRelease()
    {
        const auto texts = metainfoTexts();
        QCOMPARE(texts.value({u"id"_s, QString()}), u"" QUOREL_APPSTREAM_ID ""_s);
        QVERIFY(texts.values({u"release"_s, QString()}).contains(u"" QUOREL_VERSION ""_s));
        const QString launchable = texts.value({u"launchable"_s, QString()});
        QVERIFY2(QFileInfo::exists(unpacked(u"usr/share/applications/"_s + launchable)), qPrintable(launchable));
        QVERIFY(texts.values({u"binary"_s, QString()}).contains(u"quorel"_s));
    }

    void metainfoSpeaksJapaneseAndEnglish_data()
    {
        QTest::addColumn<QString>("element");
        for (const QString &element : {u"name"_s, u"summary"_s, u"p"_s})
            QTest::newRow(qPrintable(element)) << element;
    }

    void metainfoSpeaksJapaneseAndEnglish()
    {
        QFETCH(QString, element);
        const auto texts = metainfoTexts();
        const QStringList english = texts.values({element, QString()});
        const QStringList japanese = texts.values({element, u"ja"_s});
        QVERIFY(!english.isEmpty());
        QCOMPARE(japanese.size(), english.size());
        for (const QString &text : english)
            QVERIFY2(!text.isEmpty() && isPlainLatin(text), qPrintable(text));
        for (const QString &text : japanese)
            QVERIFY2(hasJapanese(text), qPrintable(text));
    }

    // Rendered as man shows them, with groff's warnings on. Each teaches the window by the captions
    // it shows and says where the settings file lives.
    void manPages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("nameHeading");
        QTest::addColumn<bool>("glossed");
        QTest::newRow("English") << u"usr/share/man/man1/quorel.1.gz"_s << u"NAME"_s << true;
        QTest::newRow("Japanese") << u"usr/share/man/ja/man1/quorel.1.gz"_s << u"名前"_s << false;
    }

    void manPages()
    {
        QFETCH(QString, path);
        QFETCH(QString, nameHeading);
        QFETCH(bool, glossed);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        environment.insert(u"MANWIDTH"_s, u"80"_s);
        environment.remove(u"MAN_KEEP_FORMATTING"_s);
        const Ran man
            = run(u"man"_s, {u"--warnings"_s, u"-E"_s, u"UTF-8"_s, u"--local-file"_s, unpacked(path)}, environment);
        QVERIFY(man.finished);
        QCOMPARE(man.err, QByteArray());
        QCOMPARE(man.exitCode, 0);
        const QString page = QString::fromUtf8(man.out);
        QVERIFY2(page.contains(u"\n"_s + nameHeading + u"\n       quorel - "_s), qPrintable(page));
        QVERIFY2(page.contains(u"~/.config/quorel/quorel.ini"_s), qPrintable(page));
        QVERIFY2(page.contains(u"quorel " QUOREL_VERSION ""_s), qPrintable(page));
        // Japanese lines break between any two characters, a caption's too.
        const QString joined = QString(page).remove(QRegularExpression(u"\\n *"_s));
        for (const Caption &caption : windowCaptions) {
            QStringList notes;
            if (glossed && caption.gloss)
                notes += QString::fromUtf16(caption.gloss);
            if (caption.key)
                notes += u"Alt+"_s + QChar(caption.key);
            QString expected = QString::fromUtf16(caption.text);
            if (!notes.isEmpty())
                expected += u" ("_s + notes.join(u", "_s) + u')';
            QVERIFY2(joined.contains(expected), qPrintable(expected));
        }
    }

    void unpackedProgramStartsAndWritesSettingsOnTerm()
    {
        // Its folder in the temporary root can be written, so the copy keeps its file beside itself;
        // the configuration folder is a temporary one all the same, should it look there.
        QTemporaryDir config;
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QProcess program;
        const bool started = tests::ProgramProcess::startOffscreen(program, unpacked(u"usr/bin/quorel"_s));
        qputenv("XDG_CONFIG_HOME", savedConfig);
        QVERIFY(started);
        QVERIFY(tests::ProgramProcess::endsCleanlyOn(program, SIGTERM));
        QFile ini(unpacked(u"usr/bin/quorel.ini"_s));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().startsWith(";Tessaly"));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "test_Package.moc"
