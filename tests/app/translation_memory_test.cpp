// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "forms/form_names.h"
#include "support/window_fixture.h"

#include "platform/qt_desktop.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QElapsedTimer>
#include <QDir>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;

const std::string kBom = "\xEF\xBB\xBF";

std::string memory(const std::string& units)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\"><header srclang=\"en\" "
           "creationtool=\"t\" creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"t\" adminlang=\"en\" "
           "datatype=\"plaintext\"/><body>\n" +
           units + "</body></tmx>\n";
}

std::string unit(const char* en, const char* fr, const char* es)
{
    return std::string("<tu><tuv xml:lang=\"en\"><seg>") + en + "</seg></tuv><tuv xml:lang=\"fr\"><seg>" + fr +
           "</seg></tuv><tuv xml:lang=\"es\"><seg>" + es + "</seg></tuv></tu>\n";
}

class TranslationMemoryTest : public testing::WindowTest {
protected:
    void open(const QString& file)
    {
        forms.show(names::frmtexte);
        fake.dialogs.fileNames.push_back(file);
        forms.find(names::frmtexte)->findChild<QAction*>("memoire")->trigger();
    }
    QString box(const char* name) { return forms.text(names::frmtexte, name); }
};

TEST_F(TranslationMemoryTest, AMemoryOfThreeLanguagesAsksWhichTwoThenIsSearched)
{
    const QString input = dir.write("corpus.tmx", memory(unit("The house.", "La maison.", "La casa.") +
                                                         unit("A red house.", "Une maison rouge.", "Una casa roja.") +
                                                         unit("The river.", "La rivière.", "El río.")));
    fake.dialogs.languages.push_back(std::pair{QString("es"), QString("fr")});
    open(input);
    ASSERT_EQ(fake.dialogs.languagesOffered.size(), 1u);
    EXPECT_EQ(fake.dialogs.languagesOffered[0], (QStringList{"en", "fr", "es"}));
    EXPECT_EQ(box("Text_latin"), dir.path("corpus_source_ref.txt"));
    EXPECT_EQ(box("Text_francais"), dir.path("corpus_cible_ref.txt"));
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")),
              kBom + "[1] La casa.\r\n[2] Una casa roja.\r\n[3] El río.\r\n");
    EXPECT_EQ(readBytes(dir.path("corpus_cible_ref.txt")),
              kBom + "[1] La maison.\r\n[2] Une maison rouge.\r\n[3] La rivière.\r\n");

    auto* search = static_cast<SearchWindow*>(forms.find(names::Frmcontexte));
    ASSERT_NE(search, nullptr) << "the search window of prepared texts opens";
    WindowTest::search(search, "casa");
    EXPECT_EQ(rows(search), "casa[1] casa[2]");
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(TranslationMemoryTest, ATableOfTwoColumnsAsksNothing)
{
    open(dir.write("corpus.tsv", "La casa.\tLa maison.\r\nEl río.\tLa rivière.\r\n"));
    EXPECT_TRUE(fake.dialogs.languagesOffered.empty());
    EXPECT_EQ(readBytes(box("Text_francais")), kBom + "[1] La maison.\r\n[2] La rivière.\r\n");
    EXPECT_NE(forms.find(names::Frmcontexte), nullptr);
}

TEST_F(TranslationMemoryTest, AnExistingPairIsReplacedOnlyWhenTheUserSaysSo)
{
    const QString input = dir.write("corpus.tsv", "Uno.\tUn.\n");
    dir.write("corpus_source_ref.txt", "old");
    fake.dialogs.answers.push_back(Answer::No);
    open(input);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, dir.path("corpus_source_ref.txt") + "  ya existe.\r\n¿Desea reemplazarlo?");
    EXPECT_EQ(fake.dialogs.shown[0].title, "Fichier existente");
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")), "old");
    EXPECT_FALSE(QFile::exists(dir.path("corpus_cible_ref.txt")));
    EXPECT_EQ(box("Text_latin"), "");
    EXPECT_EQ(forms.find(names::Frmcontexte), nullptr);

    open(input); // Yes, this time
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")), "[1] Uno.\r\n") << "ASCII stays in the code page";
    EXPECT_EQ(box("Text_latin"), dir.path("corpus_source_ref.txt"));
}

TEST_F(TranslationMemoryTest, AMalformedMemoryIsNamedWithWhereItGoesWrong)
{
    const QString input = dir.write("corpus.tmx", memory(unit("One.", "Un.", "Uno.") + "<tu><tuv>\n"));
    open(input);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    const QString said = fake.dialogs.shown[0].text;
    EXPECT_TRUE(said.contains(input) && said.contains("en la línea 5, columna 1")) << said.toStdString();
    EXPECT_EQ(box("Text_latin"), "");
    EXPECT_EQ(dir.entries(), QStringList{"corpus.tmx"});
}

TEST_F(TranslationMemoryTest, ASecondMemoryReplacesTheFirstInTheSearchWindow)
{
    open(dir.write("primera.tsv", "La casa.\tLa maison.\r\n"));
    auto* search = static_cast<SearchWindow*>(forms.find(names::Frmcontexte));
    ASSERT_NE(search, nullptr);
    WindowTest::search(search, "casa");
    EXPECT_EQ(rows(search), "casa[1]");

    open(dir.write("segunda.tsv", "El río.\tLa rivière.\r\nUn puente.\tUn pont.\r\n"));
    EXPECT_EQ(box("Text_latin"), dir.path("segunda_source_ref.txt"));
    search = static_cast<SearchWindow*>(forms.find(names::Frmcontexte));
    ASSERT_NE(search, nullptr);
    WindowTest::search(search, "puente");
    EXPECT_EQ(rows(search), "puente[2]") << "the search window searches the memory just opened";
    WindowTest::search(search, "casa");
    EXPECT_EQ(total(search), "casa = 0");
}

TEST_F(TranslationMemoryTest, TheEntryIsReachedByItsAccessKey)
{
    Form* main = forms.show(names::frmtexte);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, 1000));
    // "&Aplicación", then the entry's own letter.
    auto* application = main->findChild<QMenu*>("application");
    QTimer::singleShot(0, [&] {
        if (application->isVisible()) QTest::keyClick(application, Qt::Key_M);
    });
    fake.dialogs.fileNames.push_back(dir.write("corpus.tsv", "Uno.\tUn.\n"));
    QTest::keyClick(main, Qt::Key_A, Qt::AltModifier);
    QTest::qWait(100);
    EXPECT_EQ(fake.dialogs.filters.size(), 1u) << "the open dialog of the memory";
    EXPECT_EQ(box("Text_latin"), dir.path("corpus_source_ref.txt"));
}

// The platform's own dialog: it lists the memories and the tables of the
// folder, and a name typed there opens.
TEST(TranslationMemoryDialog, ListsMemoriesAndTablesAndOpensATypedName)
{
    testing::TempDir dir;
    testing::FakeDesktop fake;
    QtDialogs dialogs;
    Desktop desktop{dialogs, fake.printer, fake.clipboard, fake.registry, fake.launcher, fake.clock};
    FormRegistry forms{desktop, [] {}};
    defineWindows(forms);
    // Two languages: nothing more to ask.
    dir.write("corpus.tmx", memory("<tu><tuv xml:lang=\"en\"><seg>The house.</seg></tuv><tuv xml:lang=\"fr\">"
                                   "<seg>La maison.</seg></tuv></tu>\n"));
    dir.write("tabla.tsv", "Uno.\tUn.\n");
    dir.write("carta.doc", "x");
    const QString working = QDir::currentPath();
    QDir::setCurrent(dir.root());

    QStringList listed;
    bool openEnabled = false;
    QElapsedTimer clock;
    clock.start();
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QFileDialog* dialog = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(top); d && d->isVisible()) dialog = d;
        if (!dialog) return;
        auto* list = dialog->findChild<QListView*>("listView");
        listed.clear();
        for (int r = 0; list && r < list->model()->rowCount(list->rootIndex()); ++r)
            listed << list->model()->index(r, 0, list->rootIndex()).data().toString();
        if (!listed.contains("corpus.tmx") && clock.elapsed() < 5000) return; // still reading the folder
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        QTest::keyClicks(name, "corpus.tmx");
        QPushButton* open = dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Open);
        openEnabled = open && open->isEnabled();
        if (openEnabled) QTest::mouseClick(open, Qt::LeftButton);
        else dialog->reject();
        user.stop();
    });
    user.start(50);
    forms.show(names::frmtexte);
    forms.find(names::frmtexte)->findChild<QAction*>("memoire")->trigger();
    QDir::setCurrent(working);

    listed.sort();
    EXPECT_EQ(listed, (QStringList{"corpus.tmx", "tabla.tsv"}));
    EXPECT_TRUE(openEnabled) << "\"Abrir\" with a name typed";
    EXPECT_EQ(forms.text(names::frmtexte, "Text_latin"), dir.path("corpus_source_ref.txt"));
}

} // namespace
} // namespace solandre
