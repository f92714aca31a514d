// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' names: the registry's keys and each window's objectName.

namespace solandre::names {

inline constexpr char frmSplash[] = "frmSplash";
inline constexpr char frmtexte[] = "frmtexte";
inline constexpr char frmAbout[] = "frmAbout";
inline constexpr char frmnumerotation[] = "frmnumerotation";
inline constexpr char Frmreference[] = "Frmreference";
inline constexpr char Frmcontexte[] = "Frmcontexte";
inline constexpr char Frmcontexte02[] = "Frmcontexte02";
inline constexpr char frmaff_contexte[] = "frmaff_contexte";
inline constexpr char frmaff_contexte02[] = "frmaff_contexte02";
// The review of an alignment, beside each road.
inline constexpr char frmalignement[] = "frmalignement";
inline constexpr char frmalignement02[] = "frmalignement02";
inline constexpr char frmlignes[] = "frmlignes";
inline constexpr char frmlignes02[] = "frmlignes02";
inline constexpr char frmfrequences[] = "frmfrequences";
inline constexpr char frmfrequences02[] = "frmfrequences02";
inline constexpr char frmcandidats[] = "frmcandidats";
inline constexpr char frmcandidats02[] = "frmcandidats02";
// A folder opened as a collection, and its search.
inline constexpr char frmcollection[] = "frmcollection";
inline constexpr char frmcollection_recherche[] = "frmcollection_recherche";
// The viewer of a collection's hit, on the hit's own pair.
inline constexpr char frmaff_collection[] = "frmaff_collection";
// Its concordance lines, frequencies and translation candidates.
inline constexpr char frmcollection_lignes[] = "frmcollection_lignes";
inline constexpr char frmcollection_frequences[] = "frmcollection_frequences";
inline constexpr char frmcollection_candidats[] = "frmcollection_candidats";

} // namespace solandre::names
