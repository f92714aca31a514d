// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a folder opened as a collection holds (frmcollection): one row per
// pair with its languages, its sentences on each side and whether it pairs
// one to one, and what was set aside with the reason. The user aligns the
// pairs that need it ("Alinear todos") and confirms; the collection's search
// window then opens on all of them.

#include "collection/collection.h"
#include "forms/form.h"

#include <memory>

class QLabel;
class QTableWidget;

namespace solandre {

class CollectionWindow : public Form {
    Q_OBJECT
public:
    explicit CollectionWindow(FormRegistry& forms);
    ~CollectionWindow() override;

    // Scans and prepares the folder, as long work; false when it could not
    // be opened (said) or was cancelled.
    bool openFolder(const QString& folder);
    const CollectionListing& listing() const { return listing_; }

    void aligner_tous_Click(); // "Alinear todos"
    void chercher_Click();     // "Buscar en la colección"
    void fermer_Click();

private:
    void fillLists();

    std::unique_ptr<CollectionStore> store_;
    CollectionListing listing_;
    QLabel* folder_;
    QLabel* summary_;
    QTableWidget* pairs_;
    QTableWidget* setAside_;
    QPushButton* align_;
};

} // namespace solandre
