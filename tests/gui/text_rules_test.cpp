// The text rules of the settings-file field and of the error report.
#include <QTest>

#include "gui/error_text.h"
#include "gui/settings_path.h"
#include "tests/gui/gui_test_registry.h"

namespace {

struct Row {
  const char* in;
  const char* out;
};

}  // namespace

class TextRulesTest : public QObject {
  Q_OBJECT

 private slots:
  void SettingsPathFromTheFieldsText() {
    const Row rows[] = {
        {"a.bfs", "/opt/p/a.bfs"},
        {"", "/opt/p/"},                // names the program folder itself
        {" a.bfs ", "/opt/p/ a.bfs "},  // nothing trimmed
        {"conf/a.bfs", "conf/a.bfs"},   // a slash: used as it stands
        {"\"/my sync/b.bfs\"", "/my sync/b.bfs"},
        {"a\"b\".bfs", "/opt/p/ab.bfs"},
    };
    for (const Row& row : rows) QCOMPARE(gui::SettingsPathFor(row.in, "/opt/p"), QString(row.out));
    QCOMPARE(gui::SettingsPathFor("a.bfs", "/"), QString("//a.bfs"));
  }

  void FirstParameterOfACommandLine() {
    const Row rows[] = {
        {"a.bfs b.bfs", "a.bfs"},
        {"   a.bfs", "a.bfs"},
        {"a\tb", "a"},
        {"\"/my sync/b.bfs\" x", "/my sync/b.bfs"},
        {"a\"b c\"d e", "ab cd"},
        {"\"a b", "a b"},
        {"\"\" a", "a"},
        {"\"\"\"\"a", "a"},
        {"  ", ""},
    };
    for (const Row& row : rows) QCOMPARE(gui::FirstParameter(row.in), QString(row.out));
  }

  void ErrorBoxTitleAndFullStop() {
    const Row titles[] = {
        {"parlowin", "Parlowin"}, {"PARLOWIN.EXE", "Parlowin"}, {"my.tool.bin", "My"}, {"", ""}};
    for (const Row& row : titles) QCOMPARE(gui::ProgramTitle(row.in), QString(row.out));
    // A full stop only after a character whose code is above ".".
    const Row messages[] = {{"to /a/b.bfs", "to /a/b.bfs."},
                            {"to /a/", "to /a/."},
                            {"to ", "to "},
                            {"Done.", "Done."},
                            {"a-", "a-"},
                            {"", ""}};
    for (const Row& row : messages) QCOMPARE(gui::WithFullStop(row.in), QString(row.out));
    QCOMPARE(gui::WithFullStop(QString::fromUtf8("Ошибка")), QString::fromUtf8("Ошибка."));
  }
};

GUI_TEST_CLASS(TextRulesTest);

#include "text_rules_test.moc"
