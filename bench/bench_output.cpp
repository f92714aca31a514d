// Saving and printing: the results file of 100,000 hits of a generated 100 MB
// numbered pair (reading both texts, finding the segments, writing safely),
// and a 10,000-hit list printed to a PDF file through the search window.
#include "app/application.h"
#include "app/forms/form.h"
#include "app/forms/form_names.h"
#include "common/fileio.h"
#include "numbering/numbering_engine.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/qt_desktop.h"
#include "platform/qt_printer.h"
#include "search/results_file.h"
#include "search/search_window.h"
#include "text_generator.h"

#include <QAction>
#include <QFileInfo>
#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace solandre;

namespace {

// Dialogs that ask nothing: the benchmark prints to the PDF file set up front.
class SilentDialogs final : public Dialogs {
public:
    QString openFileName(QWidget*, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&) override { return {}; }
    Answer message(QWidget*, const Message& m) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(m.text));
        return Answer::Ok;
    }
    bool printerSetup(QWidget*, Printer&) override { return true; }
};

void benchSaving(const QTemporaryDir& dir)
{
    const QString source = dir.filePath("source_ref.txt");
    const QString target = dir.filePath("cible_ref.txt");
    if (!writeFileSafely(source, numberText(bench::generateText(100'000'000, 1))).ok() ||
        !writeFileSafely(target, numberText(bench::generateText(100'000'000, 2))).ok())
        std::exit(1);
    const Result<WordIndex> index = readWordIndex(source);
    if (!index) std::exit(1);
    ResultGrid grid(index.value());
    WordList hits;
    for (WordId w = 0; w < index.value().size() && hits.size() < 100'000; w += 170) hits.push_back(w);
    grid.showHits(std::move(hits));

    const QString results = dir.filePath("resultados.txt");
    const double seconds = bench::timeIt([&] {
        Result<Bytes> s = readWholeFile(source);
        Result<Bytes> t = readWholeFile(target);
        const ResultsHeading heading = makeHeading(kPreparedTextsPrefixes, "Obra", "07/12/2026");
        if (!s || !t || !saveResults(results, heading, grid, s.value().view(), t.value().view()).ok())
            std::exit(1);
    });
    std::printf("saving %zu hits of a 100 MB pair: %.3f s (%.1f MB written)\n", grid.hitCount(),
                seconds, double(QFileInfo(results).size()) / 1e6);
}

void benchPrinting(const QTemporaryDir& dir)
{
    std::string text;
    for (int s = 1; s <= 10'000; ++s) text += "[" + std::to_string(s) + "] casa.\r\n";
    const QString source = dir.filePath("lista_ref.txt");
    if (!writeFileSafely(source, text).ok()) std::exit(1);

    SilentDialogs dialogs;
    QtDesktop system;
    QtPrinter pdf;
    pdf.device().setOutputFormat(QPrinter::PdfFormat);
    pdf.device().setOutputFileName(dir.filePath("lista.pdf"));
    Desktop& real = system.desktop();
    Desktop desktop{dialogs, pdf, real.clipboard, real.registry, real.launcher, real.clock};
    FormRegistry forms(desktop, [] {});
    defineWindows(forms);
    forms.load(names::frmtexte);
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
    auto* window = static_cast<SearchWindow*>(forms.load(names::Frmcontexte));
    window->findChild<QLineEdit*>("Text1")->setText("casa");
    window->Command1_Click();
    const double seconds = bench::timeIt([&] { window->imprimer_Click(); });
    std::printf("printing a list of %zu hits to PDF: %.3f s (%.1f kB)\n", window->grid().hitCount(),
                seconds, double(QFileInfo(dir.filePath("lista.pdf")).size()) / 1e3);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    benchSaving(dir);
    benchPrinting(dir);
    return 0;
}
