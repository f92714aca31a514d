// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A folder opened as a collection the way the program opens it: listed
// through its store, then every pair indexed.

#include "collection/collection.h"
#include "collection/collection_concordance.h"
#include "collection/collection_store.h"

#include <gtest/gtest.h>

namespace solandre::testing {

struct OpenedFolder {
    QString folder;
    CollectionStore store;
    CollectionListing listing;
    CollectionConcordance concordance;

    OpenedFolder(const QString& folder, const QString& cache) : folder(folder), store(folder, cache) {}

    // Lists the folder and indexes every pair; which step failed, if one did.
    ::testing::AssertionResult open()
    {
        auto listed = listCollection(folder, store);
        if (!listed.ok()) return ::testing::AssertionFailure() << "listing: " << listed.error().message.toStdString();
        listing = std::move(listed.value());
        const Status loaded = concordance.load(listing, store);
        if (!loaded.ok()) return ::testing::AssertionFailure() << "loading: " << loaded.error().message.toStdString();
        return ::testing::AssertionSuccess();
    }
};

} // namespace solandre::testing
