// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "windows/align/alignment_window.h"
#include "windows/collection/collection_candidates_window.h"
#include "windows/collection/collection_frequency_window.h"
#include "windows/collection/collection_lines_window.h"
#include "windows/collection/collection_search_window.h"
#include "windows/collection/collection_viewer.h"
#include "windows/collection/collection_window.h"
#include "forms/form_names.h"
#include "app/about_window.h"
#include "app/splash_window.h"
#include "app/main_window.h"
#include "windows/numbering/numbering_done_window.h"
#include "windows/numbering/numbering_window.h"
#include "windows/study/candidates_window.h"
#include "windows/study/concordance_lines_window.h"
#include "windows/study/frequency_window.h"
#include "windows/search/search_window.h"
#include "windows/viewer/context_viewer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace solandre {

void defineWindows(FormRegistry& forms)
{
    forms.define(names::frmSplash, [](FormRegistry& f) { return new SplashWindow(f); });
    forms.define(names::frmtexte, [](FormRegistry& f) { return new MainWindow(f); });
    forms.define(names::frmAbout, [](FormRegistry& f) { return new AboutWindow(f); });
    forms.define(names::frmnumerotation, [](FormRegistry& f) { return new NumberingWindow(f); });
    forms.define(names::Frmreference, [](FormRegistry& f) { return new NumberingDoneWindow(f); });
    forms.define(names::Frmcontexte,
                 [](FormRegistry& f) { return new SearchWindow(f, kPreparedTextsSearch); });
    forms.define(names::Frmcontexte02,
                 [](FormRegistry& f) { return new SearchWindow(f, kFreshTextsSearch); });
    forms.define(names::frmaff_contexte,
                 [](FormRegistry& f) { return new ContextViewer(f, kPreparedTextsViewer); });
    forms.define(names::frmaff_contexte02,
                 [](FormRegistry& f) { return new ContextViewer(f, kFreshTextsViewer); });
    forms.define(names::frmalignement,
                 [](FormRegistry& f) { return new AlignmentWindow(f, kPreparedTextsAlignment); });
    forms.define(names::frmalignement02,
                 [](FormRegistry& f) { return new AlignmentWindow(f, kFreshTextsAlignment); });
    forms.define(names::frmlignes,
                 [](FormRegistry& f) { return new ConcordanceLinesWindow(f, kPreparedTextsStudy); });
    forms.define(names::frmlignes02,
                 [](FormRegistry& f) { return new ConcordanceLinesWindow(f, kFreshTextsStudy); });
    forms.define(names::frmfrequences, [](FormRegistry& f) { return new FrequencyWindow(f, kPreparedTextsStudy); });
    forms.define(names::frmfrequences02, [](FormRegistry& f) { return new FrequencyWindow(f, kFreshTextsStudy); });
    forms.define(names::frmcandidats, [](FormRegistry& f) { return new CandidatesWindow(f, kPreparedTextsStudy); });
    forms.define(names::frmcandidats02, [](FormRegistry& f) { return new CandidatesWindow(f, kFreshTextsStudy); });
    forms.define(names::frmcollection, [](FormRegistry& f) { return new CollectionWindow(f); });
    forms.define(names::frmcollection_recherche, [](FormRegistry& f) { return new CollectionSearchWindow(f); });
    forms.define(names::frmaff_collection, [](FormRegistry& f) { return new ContextViewer(f, kCollectionViewer); });
    forms.define(names::frmcollection_lignes, [](FormRegistry& f) { return new CollectionLinesWindow(f); });
    forms.define(names::frmcollection_frequences, [](FormRegistry& f) { return new CollectionFrequencyWindow(f); });
    forms.define(names::frmcollection_candidats, [](FormRegistry& f) { return new CollectionCandidatesWindow(f); });
}

void loadSpanishTranslations(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

} // namespace solandre
