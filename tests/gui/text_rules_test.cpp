// The text rules of the settings-file field and of the error report.
#include <QTest>

#include "gui/error_text.h"
#include "gui/settings_path.h"
#include "tests/gui/gui_test_registry.h"

class TextRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void SettingsPathFromTheFieldsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("bare name") << "a.bfs"
                               << "/opt/p"
                               << "/opt/p/a.bfs";
    QTest::newRow("empty") << ""
                           << "/opt/p"
                           << "/opt/p/";
    QTest::newRow("program in the root") << "a.bfs"
                                         << "/"
                                         << "//a.bfs";
    QTest::newRow("absolute") << "/etc/x.bfs"
                              << "/opt/p"
                              << "/etc/x.bfs";
    QTest::newRow("relative with a slash") << "conf/a.bfs"
                                           << "/opt/p"
                                           << "conf/a.bfs";
    QTest::newRow("quoted") << "\"/my sync/b.bfs\""
                            << "/opt/p"
                            << "/my sync/b.bfs";
    QTest::newRow("quotes anywhere") << "a\"b\".bfs"
                                     << "/opt/p"
                                     << "/opt/p/ab.bfs";
    QTest::newRow("nothing trimmed") << " a.bfs "
                                     << "/opt/p"
                                     << "/opt/p/ a.bfs ";
  }
  void SettingsPathFromTheFieldsText() {
    QFETCH(QString, text);
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(gui::SettingsPathFor(text, folder), path);
  }

  void FirstParameterOfACommandLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");
    QTest::newRow("blank separates") << "a.bfs b.bfs"
                                     << "a.bfs";
    QTest::newRow("leading blanks") << "   a.bfs"
                                    << "a.bfs";
    QTest::newRow("tab separates") << "a\tb"
                                   << "a";
    QTest::newRow("quoted blank") << "\"/my sync/b.bfs\" x"
                                  << "/my sync/b.bfs";
    QTest::newRow("quotes inside") << "a\"b c\"d e"
                                   << "ab cd";
    QTest::newRow("unclosed quote") << "\"a b"
                                    << "a b";
    QTest::newRow("empty pair skipped") << "\"\" a"
                                        << "a";
    QTest::newRow("empty pairs skipped") << "\"\"\"\"a"
                                         << "a";
    QTest::newRow("nothing") << "  "
                             << "";
  }
  void FirstParameterOfACommandLine() {
    QFETCH(QString, text);
    QFETCH(QString, first);
    QCOMPARE(gui::FirstParameter(text), first);
  }

  void ChosenNameIsQuotedWhenItHasABlank() {
    QCOMPARE(gui::QuotedIfBlank("/a/b.bfs"), QString("/a/b.bfs"));
    QCOMPARE(gui::QuotedIfBlank("/my sync/b.bfs"), QString("\"/my sync/b.bfs\""));
    QCOMPARE(gui::QuotedIfBlank("\"/my sync/b.bfs"), QString("\"/my sync/b.bfs"));
  }

  void ErrorBoxTitle_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("program") << "parlowin"
                             << "Parlowin";
    QTest::newRow("upper case with extension") << "PARLOWIN.EXE"
                                               << "Parlowin";
    QTest::newRow("cut at the first dot") << "my.tool.bin"
                                          << "My";
    QTest::newRow("empty") << ""
                           << "";
  }
  void ErrorBoxTitle() {
    QFETCH(QString, file);
    QFETCH(QString, title);
    QCOMPARE(gui::ProgramTitle(file), title);
  }

  void FullStopOnlyAfterACharacterAboveTheDot_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Unable to write to /a/b.bfs"
                            << "Unable to write to /a/b.bfs.";
    QTest::newRow("slash is above the dot") << "to /a/"
                                            << "to /a/.";
    QTest::newRow("blank") << "Unable to write to "
                           << "Unable to write to ";
    QTest::newRow("dot") << "Done."
                         << "Done.";
    QTest::newRow("dash and bang are below") << "a-"
                                             << "a-";
    QTest::newRow("Cyrillic") << QString::fromUtf8("Ошибка") << QString::fromUtf8("Ошибка.");
    QTest::newRow("empty") << ""
                           << "";
  }
  void FullStopOnlyAfterACharacterAboveTheDot() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(gui::WithFullStop(message), shown);
  }
};

GUI_TEST_CLASS(TextRulesTest);

#include "text_rules_test.moc"
