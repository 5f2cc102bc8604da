#include "reports/NotamParser.h"

#include <QJsonArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

namespace Notam {
namespace {

// What cut() puts between two NOTAMs, and the tag it gives the page's closing rule line.
const QString kSeparator = QString(70, u'_') + u"\n\n"_s;
const QString kClosingTag = QString(70, u'_') + u" (Fin)"_s;

constexpr QStringView kDash = u" — ";

// ---------------------------------------------------------------------------------------------------------
// French labels of the NOTAM code. A condition agrees with its subject: "Piste — fermée", "Feux — fermés".

enum class Agreement { Masculine, Feminine, MasculinePlural, FemininePlural };
using enum Agreement;

struct SubjectLabel
{
    QStringView code;
    QStringView label;
    Agreement agreement;
};

// Letters 2 and 3 of the code, by group of the first letter; every label is short enough for one line.
const auto kSubjects = std::to_array<SubjectLabel>({
    // Airspace organisation
    { u"AA", u"Altitude minimale", Feminine },
    { u"AC", u"Zone de contrôle (CTR)", Feminine },
    { u"AD", u"Zone d'identification de défense aérienne", Feminine },
    { u"AE", u"Région de contrôle (CTA)", Feminine },
    { u"AF", u"Région d'information de vol (FIR)", Feminine },
    { u"AH", u"Région supérieure de contrôle", Feminine },
    { u"AL", u"Niveau de vol minimal utilisable", Masculine },
    { u"AN", u"Route de navigation de surface", Feminine },
    { u"AO", u"Région océanique de contrôle", Feminine },
    { u"AP", u"Point de compte rendu", Masculine },
    { u"AR", u"Route ATS", Feminine },
    { u"AT", u"Région de contrôle terminale (TMA)", Feminine },
    { u"AU", u"Région supérieure d'information de vol", Feminine },
    { u"AV", u"Région supérieure à service consultatif", Feminine },
    { u"AX", u"Point significatif", Masculine },
    { u"AZ", u"Zone de circulation d'aérodrome (ATZ)", Feminine },
    // Communications and surveillance
    { u"CA", u"Installation air-sol", Feminine },
    { u"CB", u"ADS-B", Feminine },
    { u"CC", u"ADS-C", Feminine },
    { u"CD", u"Liaison de données contrôleur-pilote", Feminine },
    { u"CE", u"Radar de surveillance en route", Masculine },
    { u"CG", u"Approche contrôlée du sol (GCA)", Feminine },
    { u"CL", u"Appel sélectif (SELCAL)", Masculine },
    { u"CM", u"Radar de surface", Masculine },
    { u"CP", u"Radar d'approche de précision (PAR)", Masculine },
    { u"CR", u"Radar de surveillance du PAR", Masculine },
    { u"CS", u"Radar secondaire (SSR)", Masculine },
    { u"CT", u"Radar de surveillance terminale", Masculine },
    // Aerodrome facilities and services
    { u"FA", u"Aérodrome", Masculine },
    { u"FB", u"Appareil de mesure du frottement", Masculine },
    { u"FC", u"Mesure de la hauteur des nuages", Feminine },
    { u"FD", u"Système de guidage à l'accostage", Masculine },
    { u"FE", u"Oxygène", Masculine },
    { u"FF", u"Sauvetage et lutte contre l'incendie", Masculine },
    { u"FG", u"Contrôle des mouvements au sol", Masculine },
    { u"FH", u"Aire d'atterrissage d'hélicoptères", Feminine },
    { u"FI", u"Dégivrage des aéronefs", Masculine },
    { u"FJ", u"Huiles", FemininePlural },
    { u"FL", u"Indicateur de direction d'atterrissage", Masculine },
    { u"FM", u"Service météorologique", Masculine },
    { u"FO", u"Dissipation du brouillard", Feminine },
    { u"FP", u"Hélistation", Feminine },
    { u"FS", u"Déneigement", Masculine },
    { u"FT", u"Transmissomètre", Masculine },
    { u"FU", u"Carburant", Masculine },
    { u"FW", u"Indicateur de direction du vent", Masculine },
    { u"FZ", u"Douane et immigration", Feminine },
    // Satellite navigation
    { u"GA", u"GNSS pour l'aérodrome", Masculine },
    { u"GW", u"GNSS pour la région", Masculine },
    // Instrument and microwave landing systems
    { u"IC", u"ILS", Masculine },
    { u"ID", u"DME associé à l'ILS", Masculine },
    { u"IG", u"Alignement de descente ILS", Masculine },
    { u"II", u"Radioborne intérieure ILS", Feminine },
    { u"IL", u"Radiophare d'alignement de piste ILS", Masculine },
    { u"IM", u"Radioborne médiane ILS", Feminine },
    { u"IN", u"Radiophare d'alignement hors ILS", Masculine },
    { u"IO", u"Radioborne extérieure ILS", Feminine },
    { u"IS", u"ILS catégorie I", Masculine },
    { u"IT", u"ILS catégorie II", Masculine },
    { u"IU", u"ILS catégorie III", Masculine },
    { u"IW", u"MLS", Masculine },
    { u"IX", u"Locator extérieur ILS", Masculine },
    { u"IY", u"Locator médian ILS", Masculine },
    // Lighting
    { u"LA", u"Balisage lumineux d'approche", Masculine },
    { u"LB", u"Phare d'aérodrome", Masculine },
    { u"LC", u"Feux d'axe de piste", MasculinePlural },
    { u"LD", u"Feux d'indicateur de direction d'atterrissage", MasculinePlural },
    { u"LE", u"Feux de bord de piste", MasculinePlural },
    { u"LF", u"Feux à éclats séquentiels", MasculinePlural },
    { u"LG", u"Balisage télécommandé par le pilote", Masculine },
    { u"LH", u"Feux de piste haute intensité", MasculinePlural },
    { u"LI", u"Feux d'identification de fin de piste", MasculinePlural },
    { u"LJ", u"Feux d'alignement de piste", MasculinePlural },
    { u"LK", u"Balisage d'approche catégorie II", Masculine },
    { u"LL", u"Feux de piste basse intensité", MasculinePlural },
    { u"LM", u"Feux de piste moyenne intensité", MasculinePlural },
    { u"LP", u"PAPI", Masculine },
    { u"LR", u"Balisage de l'aire d'atterrissage", Masculine },
    { u"LS", u"Feux de prolongement d'arrêt", MasculinePlural },
    { u"LT", u"Feux de seuil", MasculinePlural },
    { u"LU", u"Indicateur de pente d'approche hélicoptère", Masculine },
    { u"LV", u"Indicateur visuel de pente d'approche", Masculine },
    { u"LW", u"Balisage lumineux d'hélistation", Masculine },
    { u"LX", u"Feux d'axe de voie de circulation", MasculinePlural },
    { u"LY", u"Feux de bord de voie de circulation", MasculinePlural },
    { u"LZ", u"Feux de zone de toucher des roues", MasculinePlural },
    // Movement and landing area
    { u"MA", u"Aire de mouvement", Feminine },
    { u"MB", u"Résistance de la chaussée", Feminine },
    { u"MC", u"Prolongement dégagé", Masculine },
    { u"MD", u"Distances déclarées", FemininePlural },
    { u"MG", u"Guidage au roulage", Masculine },
    { u"MH", u"Dispositif d'arrêt", Masculine },
    { u"MK", u"Aire de stationnement", Feminine },
    { u"MM", u"Marques de jour", FemininePlural },
    { u"MN", u"Aire de trafic", Feminine },
    { u"MO", u"Barres d'arrêt", FemininePlural },
    { u"MP", u"Postes de stationnement", MasculinePlural },
    { u"MR", u"Piste", Feminine },
    { u"MS", u"Prolongement d'arrêt", Masculine },
    { u"MT", u"Seuil", Masculine },
    { u"MU", u"Aire de demi-tour sur piste", Feminine },
    { u"MW", u"Bande ou accotement", Feminine },
    { u"MX", u"Voie de circulation", Feminine },
    { u"MY", u"Voie de sortie rapide", Feminine },
    // Radio navigation aids
    { u"NA", u"Aides radio à la navigation", FemininePlural },
    { u"NB", u"NDB", Masculine },
    { u"NC", u"DECCA", Masculine },
    { u"ND", u"DME", Masculine },
    { u"NF", u"Radioborne en éventail", Feminine },
    { u"NL", u"Locator", Masculine },
    { u"NM", u"VOR/DME", Masculine },
    { u"NN", u"TACAN", Masculine },
    { u"NO", u"OMEGA", Masculine },
    { u"NT", u"VORTAC", Masculine },
    { u"NV", u"VOR", Masculine },
    { u"NX", u"Radiogoniomètre", Masculine },
    // Other information
    { u"OA", u"Information aéronautique", Feminine },
    { u"OB", u"Obstacle", Masculine },
    { u"OE", u"Conditions d'entrée des aéronefs", FemininePlural },
    { u"OL", u"Feux d'obstacle", MasculinePlural },
    { u"OR", u"Centre de coordination de sauvetage", Masculine },
    // Air traffic procedures
    { u"PA", u"Arrivée normalisée aux instruments", Feminine },
    { u"PB", u"Arrivée VFR normalisée", Feminine },
    { u"PC", u"Procédures d'urgence", FemininePlural },
    { u"PD", u"Départ normalisé aux instruments", Masculine },
    { u"PE", u"Départ VFR normalisé", Masculine },
    { u"PF", u"Régulation des courants de trafic", Feminine },
    { u"PH", u"Procédure d'attente", Feminine },
    { u"PI", u"Procédure d'approche aux instruments", Feminine },
    { u"PK", u"Procédure d'approche VFR", Feminine },
    { u"PL", u"Traitement des plans de vol", Masculine },
    { u"PM", u"Minimums opérationnels d'aérodrome", MasculinePlural },
    { u"PN", u"Restriction antibruit", Feminine },
    { u"PO", u"Altitude de franchissement d'obstacles", Feminine },
    { u"PR", u"Procédure en cas de panne radio", Feminine },
    { u"PT", u"Altitude ou niveau de transition", Feminine },
    { u"PU", u"Procédure d'approche interrompue", Feminine },
    { u"PX", u"Altitude minimale d'attente", Feminine },
    { u"PZ", u"Procédure de la zone d'identification", Feminine },
    // Airspace restrictions
    { u"RA", u"Réservation d'espace aérien", Feminine },
    { u"RD", u"Zone dangereuse", Feminine },
    { u"RM", u"Zone d'opérations militaires", Feminine },
    { u"RO", u"Survol", Masculine },
    { u"RP", u"Zone interdite", Feminine },
    { u"RR", u"Zone réglementée", Feminine },
    { u"RT", u"Zone réglementée temporaire", Feminine },
    // Air traffic services
    { u"SA", u"ATIS", Masculine },
    { u"SB", u"Bureau de piste ATS", Masculine },
    { u"SC", u"Centre de contrôle régional", Masculine },
    { u"SE", u"Service d'information de vol", Masculine },
    { u"SF", u"Service AFIS", Masculine },
    { u"SL", u"Centre de régulation des courants de trafic", Masculine },
    { u"SO", u"Centre de contrôle océanique", Masculine },
    { u"SP", u"Contrôle d'approche", Masculine },
    { u"SS", u"Station d'information de vol", Feminine },
    { u"ST", u"Tour de contrôle", Feminine },
    { u"SU", u"Centre de contrôle régional supérieur", Masculine },
    { u"SV", u"VOLMET", Masculine },
    { u"SY", u"Service consultatif supérieur", Masculine },
    // Navigation warnings
    { u"WA", u"Présentation aérienne", Feminine },
    { u"WB", u"Voltige aérienne", Feminine },
    { u"WC", u"Ballon captif ou cerf-volant", Masculine },
    { u"WD", u"Destruction d'explosifs", Feminine },
    { u"WE", u"Exercices", MasculinePlural },
    { u"WF", u"Ravitaillement en vol", Masculine },
    { u"WG", u"Vol à voile", Masculine },
    { u"WH", u"Tirs de mine", MasculinePlural },
    { u"WJ", u"Remorquage de banderole ou de cible", Masculine },
    { u"WL", u"Lâcher de ballon libre", Masculine },
    { u"WM", u"Tirs de missiles, canons ou roquettes", MasculinePlural },
    { u"WP", u"Parachutage, parapente ou deltaplane", Masculine },
    { u"WR", u"Matières radioactives ou toxiques", FemininePlural },
    { u"WS", u"Brûlage ou rejet de gaz", Masculine },
    { u"WT", u"Mouvement massif d'aéronefs", Masculine },
    { u"WU", u"Aéronefs sans pilote", MasculinePlural },
    { u"WV", u"Vol en formation", Masculine },
    { u"WW", u"Activité volcanique importante", Feminine },
    { u"WY", u"Relevé aérien", Masculine },
    { u"WZ", u"Aéromodélisme", Masculine },
});

struct ConditionLabel
{
    QStringView code;
    QStringView label;
};

// Letters 4 and 5 of the code. A word followed by '*' agrees with the subject (e, s or es added where the
// word does not already end so); "m|f|mp|fp" spells out the four forms of an irregular word.
const auto kConditions = std::to_array<ConditionLabel>({
    // Availability
    { u"AC", u"retiré* pour maintenance" },
    { u"AD", u"disponible* de jour" },
    { u"AF", u"vérifié* en vol et fiable*" },
    { u"AG", u"en service, vérifié* au sol seulement" },
    { u"AH", u"horaires de service modifiés" },
    { u"AK", u"retour au service normal" },
    { u"AL", u"en service avec les restrictions publiées" },
    { u"AM", u"réservé* aux militaires" },
    { u"AN", u"disponible* de nuit" },
    { u"AO", u"en service" },
    { u"AP", u"disponible* sur autorisation préalable" },
    { u"AR", u"disponible* sur demande" },
    { u"AS", u"hors service" },
    { u"AU", u"non disponible*" },
    { u"AW", u"retiré* définitivement" },
    { u"AX", u"arrêt annoncé annulé" },
    // Changes
    { u"CA", u"activé*" },
    { u"CC", u"terminé*" },
    { u"CD", u"désactivé*" },
    { u"CE", u"nouveau|nouvelle|nouveaux|nouvelles" },
    { u"CF", u"fréquence modifiée" },
    { u"CG", u"déclassé*" },
    { u"CH", u"modifié*" },
    { u"CI", u"indicatif modifié" },
    { u"CL", u"réaligné*" },
    { u"CM", u"déplacé*" },
    { u"CN", u"annulé*" },
    { u"CO", u"en fonctionnement" },
    { u"CP", u"à puissance réduite" },
    { u"CR", u"remplacé* temporairement" },
    { u"CS", u"installé*" },
    { u"CT", u"en essai, ne pas utiliser" },
    // Hazards
    { u"HA", u"efficacité de freinage" },
    { u"HB", u"coefficient de frottement" },
    { u"HC", u"couvert* de neige compactée" },
    { u"HD", u"couvert* de neige sèche" },
    { u"HE", u"couvert* d'eau" },
    { u"HF", u"dégagé* de neige et de glace" },
    { u"HG", u"tonte en cours" },
    { u"HH", u"danger" },
    { u"HI", u"couvert* de glace" },
    { u"HJ", u"lancement prévu" },
    { u"HK", u"migration d'oiseaux" },
    { u"HL", u"déneigement terminé" },
    { u"HM", u"balisé*" },
    { u"HN", u"couvert* de neige mouillée ou fondante" },
    { u"HO", u"masqué* par la neige" },
    { u"HP", u"déneigement en cours" },
    { u"HQ", u"opération annulée" },
    { u"HR", u"eau stagnante" },
    { u"HS", u"sablage en cours" },
    { u"HT", u"approche selon l'aire à signaux seulement" },
    { u"HU", u"lancement en cours" },
    { u"HV", u"travaux terminés" },
    { u"HW", u"travaux en cours" },
    { u"HX", u"concentration d'oiseaux" },
    { u"HY", u"congères" },
    { u"HZ", u"couvert* d'ornières gelées" },
    // Limitations
    { u"LA", u"sur alimentation de secours" },
    { u"LB", u"réservé* aux aéronefs basés" },
    { u"LC", u"fermé*" },
    { u"LD", u"dangereux|dangereuse|dangereux|dangereuses" },
    { u"LE", u"sans alimentation de secours" },
    { u"LF", u"brouillé*" },
    { u"LG", u"sans identification" },
    { u"LH", u"limité* en masse" },
    { u"LI", u"fermé* aux vols IFR" },
    { u"LK", u"en feu fixe" },
    { u"LL", u"longueur et largeur utilisables limitées" },
    { u"LN", u"fermé* la nuit" },
    { u"LP", u"interdit*" },
    { u"LR", u"circulation sur pistes et voies de circulation seulement" },
    { u"LS", u"soumis* à interruption" },
    { u"LT", u"limité*" },
    { u"LV", u"fermé* aux vols VFR" },
    { u"LW", u"prévu*" },
    { u"LX", u"en service, prudence" },
    // Plain language and checklists
    { u"XX", u"voir le texte" },
    // A trigger NOTAM announces an amendment of the published information
    { u"TT", u"modification publiée" },
});

// Codes are two letters: compared as such, the tables are read at every label.
template <typename Row, size_t N>
const Row* findRow(const std::array<Row, N>& table, QStringView code)
{
    if (code.size() != 2)
        return nullptr;
    const auto row = std::find_if(table.begin(), table.end(),
        [&](const Row& r) { return r.code.at(0) == code.at(0) && r.code.at(1) == code.at(1); });
    return row == table.end() ? nullptr : &*row;
}

QString inflect(QStringView label, Agreement agreement)
{
    const int form = static_cast<int>(agreement);
    if (label.contains(u'|'))
        return label.split(u'|').value(form).toString();
    const bool feminine = agreement == Feminine || agreement == FemininePlural;
    const bool plural = agreement == MasculinePlural || agreement == FemininePlural;
    QString text;
    text.reserve(label.size() + 4);
    for (const QChar c : label) {
        if (c != u'*') {
            text += c;
            continue;
        }
        if (feminine && !text.endsWith(u'e'))
            text += u'e';
        if (plural && !text.endsWith(u's') && !text.endsWith(u'x'))
            text += u's';
    }
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Reading one ICAO NOTAM.

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v';
}

// A word of the header may touch the ")" that closes a message.
bool endsWord(QChar c)
{
    return isBlank(c) || c == u')';
}

bool isUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool allOf(QStringView text, bool (*test)(QChar))
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), test);
}

bool digitsAt(QStringView text, qsizetype at, qsizetype count)
{
    return at + count <= text.size() && allOf(text.mid(at, count), isDigit);
}

int number(QStringView digits)
{
    return digits.toInt();
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && isBlank(text.at(at)))
        ++at;
    return at;
}

qsizetype trimEnd(QStringView text, qsizetype end)
{
    while (end > 0 && isBlank(text.at(end - 1)))
        --end;
    return end;
}

// "A0023/15" standing alone at @p at.
bool idAt(QStringView text, qsizetype at)
{
    return at + 8 <= text.size() && isUpper(text.at(at)) && digitsAt(text, at + 1, 4) && text.at(at + 5) == u'/'
        && digitsAt(text, at + 6, 2) && (at + 8 == text.size() || endsWord(text.at(at + 8)));
}

struct Header
{
    qsizetype end = 0; ///< just after the header
    bool parenthesised = false; ///< the NOTAM is written as a message, between parentheses
    qsizetype idAt = 0;
    Kind kind = Kind::Unknown;
    qsizetype replacesAt = -1;
};

// "[(][LFPG ]A0023/15 NOTAMN", or NOTAMR/NOTAMC with the other NOTAM's id, at the start of @p text.
std::optional<Header> readHeader(QStringView text)
{
    Header header;
    qsizetype at = skipBlanks(text, 0);
    if (at < text.size() && text.at(at) == u'(') {
        header.parenthesised = true;
        at = skipBlanks(text, at + 1);
    }
    if (!idAt(text, at)) {
        // The provider writes the location before each NOTAM.
        if (!(at + 5 <= text.size() && allOf(text.mid(at, 4), isUpper) && isBlank(text.at(at + 4))))
            return std::nullopt;
        at = skipBlanks(text, at + 4);
        if (!idAt(text, at))
            return std::nullopt;
    }
    header.idAt = at;
    at = skipBlanks(text, at + 8);
    if (!text.mid(at).startsWith(u"NOTAM") || at + 6 > text.size())
        return std::nullopt;
    switch (text.at(at + 5).unicode()) {
    case u'N':
        header.kind = Kind::New;
        break;
    case u'R':
        header.kind = Kind::Replace;
        break;
    case u'C':
        header.kind = Kind::Cancel;
        break;
    default:
        return std::nullopt;
    }
    at += 6;
    if (at < text.size() && !endsWord(text.at(at)))
        return std::nullopt;
    if (header.kind != Kind::New) {
        const qsizetype other = skipBlanks(text, at);
        if (idAt(text, other)) {
            header.replacesAt = other;
            at = other + 8;
        }
    }
    header.end = at;
    return header;
}

// "X)" at @p from or after, before @p to, with a blank before it: letters with ")" inside a word or after
// "(" are text.
qsizetype findGroup(QStringView text, QChar letter, qsizetype from, qsizetype to)
{
    const QChar marker[2] = { letter, u')' };
    for (qsizetype at = text.indexOf(QStringView(marker, 2), from); at >= 0 && at + 2 <= to;
         at = text.indexOf(QStringView(marker, 2), at + 1)) {
        if (at > 0 && isBlank(text.at(at - 1)))
            return at;
    }
    return -1;
}

// A height as F) and G) begin: SFC, GND, UNL, a flight level, or a number of feet or metres.
bool looksLikeLimit(QStringView value)
{
    if (value.startsWith(u"SFC") || value.startsWith(u"GND") || value.startsWith(u"UNL"))
        return true;
    if (value.startsWith(u"FL")) {
        const qsizetype digit = skipBlanks(value, 2);
        return digit < value.size() && isDigit(value.at(digit));
    }
    qsizetype at = 0;
    while (at < value.size() && isDigit(value.at(at)))
        ++at;
    if (at == 0)
        return false;
    at = skipBlanks(value, at);
    return value.mid(at).startsWith(u"FT") || value.mid(at).startsWith(u"M");
}

// The last F) or G) before @p to whose value runs on one line up to @p to and reads as a height: an E) text
// may hold letters and ")" anywhere, but only the real groups close it.
qsizetype findLimitGroup(QStringView text, QChar letter, qsizetype to)
{
    const QChar marker[2] = { letter, u')' };
    const qsizetype at = text.left(to).lastIndexOf(QStringView(marker, 2));
    if (at <= 0 || !isBlank(text.at(at - 1)))
        return -1;
    const QStringView value = text.mid(at + 2, to - at - 2).trimmed();
    return !value.contains(u'\n') && looksLikeLimit(value) ? at : -1;
}

QString oneLine(QStringView value)
{
    value = value.trimmed();
    // Most values are one word or single-spaced: no second pass for them.
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (isBlank(value.at(i)) && (value.at(i) != u' ' || isBlank(value.at(i + 1))))
            return value.toString().simplified();
    }
    return value.toString();
}

QString asWritten(QStringView value)
{
    QString text = value.trimmed().toString();
    text.remove(u'\r');
    return text;
}

// YYMMDDhhmm in UTC; an impossible date or time gives an invalid time.
QDateTime readTime(QStringView value)
{
    if (value.size() != 10 || !allOf(value, isDigit))
        return {};
    const QDate date(2000 + number(value.mid(0, 2)), number(value.mid(2, 2)), number(value.mid(4, 2)));
    const QTime time(number(value.mid(6, 2)), number(value.mid(8, 2)));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

QStringView firstWord(QStringView value)
{
    value = value.trimmed();
    qsizetype end = 0;
    while (end < value.size() && !isBlank(value.at(end)))
        ++end;
    return value.left(end);
}

bool onlyLetters(QStringView value, QStringView allowed, qsizetype maxSize)
{
    return !value.isEmpty() && value.size() <= maxSize
        && std::all_of(value.begin(), value.end(), [&](QChar c) { return allowed.contains(c); });
}

// "4901N00233E005": the centre to the minute, then the radius in nautical miles.
void readArea(QStringView value, Item& item)
{
    if (value.size() < 11 || !digitsAt(value, 0, 4) || !digitsAt(value, 5, 5))
        return;
    const QChar ns = value.at(4);
    const QChar ew = value.at(10);
    const int latDeg = number(value.mid(0, 2));
    const int latMin = number(value.mid(2, 2));
    const int lonDeg = number(value.mid(5, 3));
    const int lonMin = number(value.mid(8, 2));
    if ((ns != u'N' && ns != u'S') || (ew != u'E' && ew != u'W') || latMin >= 60 || lonMin >= 60
        || latDeg * 60 + latMin > 90 * 60 || lonDeg * 60 + lonMin > 180 * 60)
        return;
    const double lat = latDeg + latMin / 60.0;
    const double lon = lonDeg + lonMin / 60.0;
    item.centre = GeoPoint { ns == u'S' ? -lat : lat, ew == u'W' ? -lon : lon };
    if (value.size() == 14 && digitsAt(value, 11, 3))
        item.radiusNm = number(value.mid(11, 3));
}

// "LFFF/QMRLC/IV/NBO/A/000/999/4901N00233E005": each field read alone, so a missing or malformed one
// leaves only itself empty.
void readQualifiers(QStringView value, Item& item)
{
    const QList<QStringView> fields = value.split(u'/');
    const auto field = [&](qsizetype index) { return fields.value(index).trimmed(); };
    if (field(0).size() == 4 && allOf(field(0), isUpper))
        item.fir = field(0).toString();
    if (field(1).size() == 5 && field(1).startsWith(u'Q') && allOf(field(1), isUpper)) {
        item.qcode = field(1).toString();
        item.subject = item.qcode.mid(1, 2);
        item.condition = item.qcode.mid(3, 2);
    }
    if (onlyLetters(field(2), u"IVK", 2))
        item.traffic = field(2).toString();
    if (onlyLetters(field(3), u"NBOMK", 3))
        item.purpose = field(3).toString();
    if (onlyLetters(field(4), u"AEWK", 2))
        item.scope = field(4).toString();
    if (field(5).size() == 3 && allOf(field(5), isDigit))
        item.lowerFl = number(field(5));
    if (field(6).size() == 3 && allOf(field(6), isDigit))
        item.upperFl = number(field(6));
    readArea(field(7), item);
}

void readEnd(QStringView value, Item& item)
{
    value = value.trimmed();
    if (firstWord(value) == u"PERM") {
        item.permanent = true;
        return;
    }
    if (value.size() < 10 || (value.size() > 10 && isDigit(value.at(10))))
        return;
    item.to = readTime(value.left(10));
    item.estimated = value.mid(10).trimmed().startsWith(u"EST");
}

void readIcao(QStringView text, const Header& header, Item& item)
{
    item.icao = true;
    item.id = text.mid(header.idAt, 8).toString();
    item.series = item.id.at(0);
    item.number = number(QStringView(item.id).mid(1, 4));
    item.year = 2000 + number(QStringView(item.id).mid(6, 2));
    item.kind = header.kind;
    if (header.replacesAt >= 0)
        item.replaces = text.mid(header.replacesAt, 8).toString();

    // Where the NOTAM ends: before the blanks, the page's closing rule and the message's ")".
    qsizetype end = text.size();
    for (;;) {
        end = trimEnd(text, end);
        qsizetype beforeHyphens = end;
        while (beforeHyphens > 0 && text.at(beforeHyphens - 1) == u'-')
            --beforeHyphens;
        if (!text.left(beforeHyphens).endsWith(kClosingTag))
            break;
        end = beforeHyphens - kClosingTag.size();
    }
    if (header.parenthesised && end > header.end && text.at(end - 1) == u')')
        end = trimEnd(text, end - 1);
    text = text.left(end);

    // Q) to D) in order before E); all of the rest is E) but for the F) and G) that close it.
    const qsizetype eAt = findGroup(text, u'E', header.end, text.size());
    const qsizetype headEnd = eAt >= 0 ? eAt : text.size();
    constexpr std::array<char16_t, 5> kHeadGroups { u'Q', u'A', u'B', u'C', u'D' };
    std::array<qsizetype, 5> found {};
    qsizetype from = header.end;
    for (size_t i = 0; i < kHeadGroups.size(); ++i) {
        found[i] = findGroup(text, kHeadGroups[i], from, headEnd);
        if (found[i] >= 0)
            from = found[i] + 2;
    }
    const auto headValue = [&](size_t i) -> QStringView {
        if (found[i] < 0)
            return {};
        qsizetype valueEnd = headEnd;
        for (size_t next = i + 1; next < found.size(); ++next) {
            if (found[next] >= 0) {
                valueEnd = found[next];
                break;
            }
        }
        return text.mid(found[i] + 2, valueEnd - found[i] - 2);
    };

    readQualifiers(headValue(0), item);
    for (const QString& code : oneLine(headValue(1)).split(u' ', Qt::SkipEmptyParts)) {
        if (code.size() == 4 && allOf(code, isUpper))
            item.locations.append(code);
    }
    item.fromText = firstWord(headValue(2)).toString();
    item.from = readTime(item.fromText);
    item.toText = oneLine(headValue(3));
    readEnd(item.toText, item);
    item.schedule = oneLine(headValue(4));

    if (eAt < 0)
        return;
    const QStringView tail = text.mid(eAt + 2);
    const qsizetype gAt = findLimitGroup(tail, u'G', tail.size());
    const qsizetype fAt = findLimitGroup(tail, u'F', gAt >= 0 ? gAt : tail.size());
    const qsizetype bodyEnd = fAt >= 0 ? fAt : (gAt >= 0 ? gAt : tail.size());
    item.body = asWritten(tail.left(bodyEnd));
    if (fAt >= 0)
        item.lower = oneLine(tail.mid(fAt + 2, (gAt >= 0 ? gAt : tail.size()) - fAt - 2));
    if (gAt >= 0)
        item.upper = oneLine(tail.mid(gAt + 2));
}

Item readItem(const QString& lead, QStringView text)
{
    Item item;
    item.lead = lead;
    item.text = text.toString();
    if (const std::optional<Header> header = readHeader(text))
        readIcao(text, *header, item);
    return item;
}

// A piece between two separators may still hold several NOTAMs, each opening a line with its header.
void appendItems(QStringView piece, const QString& lead, QList<Item>& items)
{
    qsizetype start = 0;
    for (qsizetype lineEnd = piece.indexOf(u'\n'); lineEnd >= 0; lineEnd = piece.indexOf(u'\n', lineEnd + 1)) {
        // The header is looked for on the line alone: a blank line before it stays with the NOTAM above.
        const qsizetype lineStart = lineEnd + 1;
        const qsizetype nextEnd = piece.indexOf(u'\n', lineStart);
        const qsizetype lineSize
            = std::min<qsizetype>(nextEnd < 0 ? piece.size() - lineStart : nextEnd - lineStart, 48);
        if (lineSize > 0 && readHeader(piece.mid(lineStart, lineSize))) {
            items.append(readItem(start == 0 ? lead : QString(), piece.mid(start, lineStart - start)));
            start = lineStart;
        }
    }
    if (start > 0 || !piece.isEmpty() || !lead.isEmpty())
        items.append(readItem(start == 0 ? lead : QString(), piece.mid(start)));
}

// ---------------------------------------------------------------------------------------------------------
// Dates and wording.

// Written by hand: the locale-aware formatting costs more than the rest of a line.
void appendNumber(QString& text, int value, int width)
{
    const QString digits = QString::number(value);
    for (qsizetype i = digits.size(); i < width; ++i)
        text += u'0';
    text += digits;
}

// "dd/MM", with "/yyyy" when not in the year of @p now.
QString day(const QDateTime& time, const QDateTime& now)
{
    const QDate date = time.date();
    QString text;
    appendNumber(text, date.day(), 2);
    text += u'/';
    appendNumber(text, date.month(), 2);
    if (!now.isValid() || date.year() != now.date().year()) {
        text += u'/';
        appendNumber(text, date.year(), 4);
    }
    return text;
}

// "dd/MM HH:mm", with the year as day() gives it.
QString dayAndTime(const QDateTime& time, const QDateTime& now)
{
    QString text = day(time, now);
    text += u' ';
    appendNumber(text, time.time().hour(), 2);
    text += u':';
    appendNumber(text, time.time().minute(), 2);
    return text;
}

// "dans 40 min", "dans 3 h" (to the nearest hour), or the day when more than 24 h away.
QString timeUntil(const QDateTime& start, const QDateTime& now)
{
    const qint64 seconds = now.secsTo(start);
    if (seconds < 3600)
        return u"dans %1 min"_s.arg(std::max<qint64>(1, (seconds + 59) / 60));
    if (seconds <= 24 * 3600)
        return u"dans %1 h"_s.arg((seconds + 1800) / 3600);
    return u"le "_s + day(start, now);
}

// A cancellation takes effect at B) and may have no end; a permanent NOTAM has none.
bool isOpenEnded(const Item& item)
{
    return item.permanent || (item.kind == Kind::Cancel && item.toText.isEmpty());
}

// A date that cannot be read is shown as written, so the reader sees why the state is unknown.
QString when(const QDateTime& time, const QString& written, const QDateTime& now)
{
    if (time.isValid())
        return dayAndTime(time, now);
    return written.isEmpty() ? u"?"_s : written + u" (illisible)"_s;
}

QString period(const Item& item, const QDateTime& now)
{
    const QString from = when(item.from, item.fromText, now);
    if (isOpenEnded(item))
        return u"à partir du %1 UTC"_s.arg(from);
    return u"du %1 au %2 UTC"_s.arg(from, when(item.to, item.toText, now));
}

// F) and G) as written; else the Q) flight levels unless they are the whole height.
QString limits(const Item& item)
{
    if (!item.lower.isEmpty() && !item.upper.isEmpty())
        return item.lower + u" à "_s + item.upper;
    if (!item.lower.isEmpty())
        return u"plancher "_s + item.lower;
    if (!item.upper.isEmpty())
        return u"plafond "_s + item.upper;
    if (item.lowerFl && item.upperFl && (*item.lowerFl != 0 || *item.upperFl != 999))
        return u"FL%1 à FL%2"_s.arg(*item.lowerFl, 3, 10, QLatin1Char('0')).arg(*item.upperFl, 3, 10, QLatin1Char('0'));
    return {};
}

QJsonValue orNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}
QJsonValue orNull(std::optional<int> value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonValue isoOrNull(const QDateTime& time)
{
    if (!time.isValid())
        return {};
    const QDateTime utc = time.toUTC();
    QString text;
    appendNumber(text, utc.date().year(), 4);
    text += u'-';
    appendNumber(text, utc.date().month(), 2);
    text += u'-';
    appendNumber(text, utc.date().day(), 2);
    text += u'T';
    appendNumber(text, utc.time().hour(), 2);
    text += u':';
    appendNumber(text, utc.time().minute(), 2);
    text += u":00Z";
    return text;
}

double micro(double degrees)
{
    return std::round(degrees * 1e6) / 1e6;
}

} // namespace

QList<Item> parseItems(const QString& cutBlock)
{
    QList<Item> items;
    const QStringView block(cutBlock);
    items.reserve(block.count(kSeparator) + 1);
    QString lead;
    for (qsizetype start = 0;;) {
        const qsizetype separator = block.indexOf(kSeparator, start);
        appendItems(block.mid(start, (separator < 0 ? block.size() : separator) - start), lead, items);
        if (separator < 0)
            break;
        lead = kSeparator;
        start = separator + kSeparator.size();
    }
    return items;
}

Status statusAt(const Item& item, const QDateTime& nowUtc)
{
    Status status;
    status.phrase = u"état inconnu"_s;
    const bool openEnded = isOpenEnded(item);
    if (!item.icao || !item.from.isValid() || !nowUtc.isValid()
        || (!openEnded && (!item.to.isValid() || item.to < item.from)))
        return status;

    const QDateTime now = nowUtc.toUTC();
    const QString estimated = item.estimated ? u", fin estimée"_s : QString();
    if (now < item.from) {
        status.state = State::Upcoming;
        status.phrase = u"à venir "_s + timeUntil(item.from, now) + estimated;
    } else if (item.permanent) {
        status.state = State::Permanent;
        status.phrase = u"permanent"_s;
    } else if (openEnded || now < item.to) {
        status.state = State::InForce;
        status.phrase = u"en vigueur"_s + estimated;
    } else if (item.estimated) {
        status.state = State::InForce;
        status.phrase = u"en vigueur, fin estimée dépassée"_s;
    } else {
        status.state = State::Expired;
        status.phrase = u"expiré"_s;
    }
    return status;
}

QString stateName(State state)
{
    switch (state) {
    case State::InForce:
        return u"en vigueur"_s;
    case State::Upcoming:
        return u"à venir"_s;
    case State::Expired:
        return u"expiré"_s;
    case State::Permanent:
        return u"permanent"_s;
    case State::Unknown:
        break;
    }
    return {};
}

QString subjectLabel(const QString& subject)
{
    const SubjectLabel* row = findRow(kSubjects, subject);
    return row ? row->label.toString() : subject;
}

QString conditionLabel(const QString& condition, const QString& subject)
{
    const ConditionLabel* row = findRow(kConditions, condition);
    if (!row)
        return condition;
    const SubjectLabel* subjectRow = findRow(kSubjects, subject);
    return inflect(row->label, subjectRow ? subjectRow->agreement : Masculine);
}

QString codeLabel(const Item& item)
{
    if (item.qcode.isEmpty())
        return {};
    return subjectLabel(item.subject) + kDash.toString() + conditionLabel(item.condition, item.subject);
}

QString statusLine(const Item& item, const QDateTime& nowUtc, bool aroundField)
{
    if (!item.icao)
        return {};
    const QDateTime now = nowUtc.toUTC();
    QString id = item.id;
    if (!item.replaces.isEmpty())
        id += (item.kind == Kind::Cancel ? u" (annule %1)"_s : u" (remplace %1)"_s).arg(item.replaces);
    QStringList parts { id, statusAt(item, now).phrase, period(item, now) };
    if (!item.qcode.isEmpty())
        parts.append(codeLabel(item));
    if (const QString heights = limits(item); !heights.isEmpty())
        parts.append(heights);
    if (!item.schedule.isEmpty())
        parts.append(u"horaires : "_s + item.schedule);
    if (aroundField)
        parts.append(u"autour du terrain"_s);
    return parts.join(kDash);
}

bool coversAerodrome(const Item& item, double latDeg, double lonDeg)
{
    if (!(item.scope.contains(u'E') || item.scope.contains(u'W')) || !item.centre || !item.radiusNm)
        return false;
    // Haversine on a sphere of the Earth's mean radius: well within the minute the centre is rounded to.
    constexpr double kEarthRadiusNm = 6371.0088 / 1.852;
    constexpr double kRadian = std::numbers::pi / 180.0;
    const double dLat = (latDeg - item.centre->lat) * kRadian;
    const double dLon = (lonDeg - item.centre->lon) * kRadian;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(item.centre->lat * kRadian) * std::cos(latDeg * kRadian) * std::sin(dLon / 2) * std::sin(dLon / 2);
    const double distance = 2 * kEarthRadiusNm * std::asin(std::min(1.0, std::sqrt(a)));
    return distance <= *item.radiusNm;
}

Briefing arrange(const QList<Item>& items, const QDateTime& nowUtc, std::optional<GeoPoint> aerodrome)
{
    const auto rank = [](State state) {
        switch (state) {
        case State::InForce:
            return 0;
        case State::Upcoming:
            return 1;
        case State::Permanent:
            return 2;
        case State::Unknown:
        case State::Expired:
            break;
        }
        return 3;
    };
    Briefing briefing;
    for (const Item& item : items) {
        // A piece of blanks between separators is nothing to list.
        if (!item.icao && item.text.trimmed().isEmpty())
            continue;
        Entry entry { item, statusAt(item, nowUtc), false };
        entry.aroundField = aerodrome && coversAerodrome(item, aerodrome->lat, aerodrome->lon);
        (entry.status.state == State::Expired ? briefing.expired : briefing.shown).append(entry);
    }
    std::stable_sort(briefing.shown.begin(), briefing.shown.end(),
        [&](const Entry& a, const Entry& b) { return rank(a.status.state) < rank(b.status.state); });
    return briefing;
}

QString expiredLine(qsizetype count)
{
    const QString heading = expiredHeading(count);
    return heading.isEmpty() ? heading : heading + u" — afficher"_s;
}

QString expiredHeading(qsizetype count)
{
    if (count <= 0)
        return {};
    return count == 1 ? u"1 NOTAM expiré"_s : u"%1 NOTAM expirés"_s.arg(count);
}

QJsonObject toJson(const Item& item, const QDateTime& nowUtc, bool aroundField)
{
    QJsonObject object;
    const auto kindName = [](Kind kind) -> QJsonValue {
        switch (kind) {
        case Kind::New:
            return u"new"_s;
        case Kind::Replace:
            return u"replace"_s;
        case Kind::Cancel:
            return u"cancel"_s;
        case Kind::Unknown:
            break;
        }
        return {};
    };
    object.insert(QLatin1String("id"), orNull(item.id));
    object.insert(QLatin1String("kind"), kindName(item.kind));
    object.insert(QLatin1String("replaces"), orNull(item.replaces));
    object.insert(QLatin1String("fir"), orNull(item.fir));
    object.insert(QLatin1String("qcode"), orNull(item.qcode));
    object.insert(QLatin1String("subject"), item.qcode.isEmpty() ? QJsonValue() : subjectLabel(item.subject));
    object.insert(
        QLatin1String("condition"), item.qcode.isEmpty() ? QJsonValue() : conditionLabel(item.condition, item.subject));
    object.insert(QLatin1String("traffic"), orNull(item.traffic));
    object.insert(QLatin1String("purpose"), orNull(item.purpose));
    object.insert(QLatin1String("scope"), orNull(item.scope));
    object.insert(QLatin1String("lowerFl"), orNull(item.lowerFl));
    object.insert(QLatin1String("upperFl"), orNull(item.upperFl));
    object.insert(QLatin1String("centre"),
        item.centre ? QJsonObject { { u"lat"_s, micro(item.centre->lat) }, { u"lon"_s, micro(item.centre->lon) } }
                    : QJsonValue());
    object.insert(QLatin1String("radiusNm"), orNull(item.radiusNm));
    object.insert(QLatin1String("locations"), QJsonArray::fromStringList(item.locations));
    object.insert(QLatin1String("from"), isoOrNull(item.from));
    object.insert(QLatin1String("to"), item.permanent ? QJsonValue(u"PERM"_s) : isoOrNull(item.to));
    object.insert(QLatin1String("estimated"), item.estimated);
    object.insert(QLatin1String("schedule"), orNull(item.schedule));
    object.insert(QLatin1String("text"), item.icao ? orNull(item.body) : QJsonValue(item.text));
    object.insert(QLatin1String("lower"), orNull(item.lower));
    object.insert(QLatin1String("upper"), orNull(item.upper));
    object.insert(QLatin1String("status"), orNull(stateName(statusAt(item, nowUtc).state)));
    object.insert(QLatin1String("aroundField"), item.icao && aroundField);
    return object;
}

} // namespace Notam
