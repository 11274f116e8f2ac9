#include "app/CurveEditor.h"

#include "app/CurveModel.h"
#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

CurveEditor::CurveEditor(VekContext &context, QObject *parent) : QObject(parent), m_context(context)
{
    // A new curve, an opened file or an import ends any edit; so does losing the
    // edited row (erase, smoothing), else the rpm box would stay locked.
    connect(&model(), &CurveModel::reset, this, [this] { setModeEdition(false); });
    connect(&model(), &CurveModel::changed, this, &CurveEditor::curveChanged);
}

CurveModel &CurveEditor::model() const
{
    return m_context.tab_avance;
}

QString CurveEditor::warningTitle()
{
    return GetLanguageText(QStringLiteral("MessWARNING"));
}

void CurveEditor::modifie()
{
    m_context.settings.CourbeModifie = true;
}

void CurveEditor::setModeEdition(bool on, const QString &regime)
{
    const bool was = m_modeEdition;
    m_modeEdition = on;
    m_regimeEdite = on ? regime : QString();
    if (was != on)
        emit editModeChanged(on);
}

void CurveEditor::curveChanged()
{
    if (!m_modeEdition)
        return;
    for (const QStringList &row : model().rows())
        if (row.at(CurveModel::Rpm) == m_regimeEdite)
            return;
    setModeEdition(false);
}

std::optional<CurveMessage> CurveEditor::verifier(PointEntry &e,
                                                  QList<CurveMessage> &warnings) const
{
    auto warn = [](const char *key, const QStringList &pairs = {}) {
        return CurveMessage{warningTitle(), GetLanguageText(QLatin1String(key), pairs)};
    };
    // Each box: missing, then not a number, then out of its limits. A number
    // typed with the locale's decimal comma is kept with ".".
    struct Box {
        QString *text;
        double low, high;
        const char *missed, *outOfRange;
    };
    const Box boxes[] = {
        {&e.regime, CurveModel::RegimeMin, CurveModel::RegimeMax, LangKey("BPValideRpmMissed"),
         LangKey("BPValideRpmTooBigOrLittle")},
        {&e.atmo, CurveModel::AvanceMin, CurveModel::AvanceMax, LangKey("BPValideAdvATMOMissed"),
         LangKey("BPValideAdvATMOTooBigOrLittle")},
        {&e.turbo, CurveModel::AvanceMin, CurveModel::AvanceMax, LangKey("BPValideAdvTURBOMissed"),
         LangKey("BPValideAdvTURBOTooBigOrLittle")}};
    for (const Box &box : boxes) {
        if (box.text->isEmpty())
            return warn(box.missed);
        const std::optional<QString> number = CurveModel::typedNumber(*box.text);
        if (!number)
            return warn(LangKey("SaisieNonNombre"), {"%VALEUR%", *box.text});
        *box.text = *number;
        const double v = NombreEnTete(*number);
        if (v < box.low || v > box.high)
            return warn(box.outOfRange);
    }
    if (model().hasKnockColumn()) {
        const QString attention = GetLanguageText(QStringLiteral("KnockAttention"));
        if (e.knock.isEmpty()) {
            warnings << CurveMessage{attention, GetLanguageText(QStringLiteral("KnockManque"))};
            return warn(LangKey("BPValideAdvKNOCKMissed"));
        }
        const std::optional<QString> knock = CurveModel::typedNumber(e.knock);
        if (!knock)
            return warn(LangKey("SaisieNonNombre"), {"%VALEUR%", e.knock});
        e.knock = *knock;
        const double v = NombreEnTete(*knock);
        if (v < CurveModel::AvanceMin || v > CurveModel::AvanceMax) {
            warnings << CurveMessage{attention,
                                     GetLanguageText(QStringLiteral("KnockHorsLimites"))};
            return warn(LangKey("BPValideAdvKNOCKTooBigOrLittle"));
        }
    }
    return std::nullopt;
}

PointResult CurveEditor::validerPoint(const PointEntry &typed, int selectedRow)
{
    PointResult result;
    PointEntry entry = typed;
    if (auto failure = verifier(entry, result.warnings)) {
        result.warnings << *failure;
        return result;
    }
    CurveModel &m = model();

    if (m_modeEdition && selectedRow >= 0 && selectedRow < m.pointCount() &&
        m.cell(selectedRow, CurveModel::Rpm) == m_regimeEdite) {
        setModeEdition(false);
        {
            const QSignalBlocker quiet(&m); // one notification for the whole row
            m.setCell(selectedRow, CurveModel::Atmo, entry.atmo);
            m.setCell(selectedRow, CurveModel::Turbo, entry.turbo);
            if (m.hasKnockColumn())
                m.setCell(selectedRow, CurveModel::Knock, entry.knock);
        }
        emit m.changed();
        modifie();
        result.outcome = PointOutcome::Replaced;
        return result;
    }

    // The same engine speed written differently ("1000", "1000.0") is the same point.
    const double regime = NombreEnTete(entry.regime);
    for (int r = 0; r < m.pointCount(); ++r)
        if (m.value(r, CurveModel::Rpm) == regime) {
            result.outcome = PointOutcome::Duplicate;
            result.warnings << CurveMessage{warningTitle(),
                                            GetLanguageText(QStringLiteral("BPValideRpmAdvExist"))};
            return result;
        }

    QStringList cells{entry.regime, entry.atmo, entry.turbo};
    if (m.hasKnockColumn()) {
        const double knock = NombreEnTete(entry.turbo) - m_context.moteur.retardCliquetis();
        cells << CurveModel::texteNombre(knock);
    }
    {
        const QSignalBlocker quiet(&m); // one notification for add + sort
        m.appendRow(cells);
        emit info(GetLanguageText(QStringLiteral("TriTableauCurrent")));
        m.Tri_tableau(CurveModel::Rpm);
        emit info(GetLanguageText(QStringLiteral("TriTableauEnd")));
    }
    emit m.changed();
    modifie();
    result.outcome = PointOutcome::Added;
    emit info(GetLanguageText(QStringLiteral("BPValideOK")));
    return result;
}

std::optional<PointEntry> CurveEditor::editerPoint(int row)
{
    CurveModel &m = model();
    if (row < 0 || row >= m.pointCount())
        return std::nullopt;
    emit info(GetLanguageText(QStringLiteral("MnuEditerClick")));
    PointEntry entry{m.cell(row, CurveModel::Rpm), m.cell(row, CurveModel::Atmo),
                     m.cell(row, CurveModel::Turbo), QString()};
    if (m.hasKnockColumn())
        entry.knock = CurveModel::texteNombre(m.value(row, CurveModel::Turbo) -
                                              m_context.moteur.retardCliquetis());
    setModeEdition(true, entry.regime);
    return entry;
}

QString CurveEditor::questionEffacer(int row) const
{
    const CurveModel &m = model();
    const QString crlf = QStringLiteral("\r\n");
    const QString deg = QStringLiteral("°");
    QString text = GetLanguageText(QStringLiteral("MnuEffacerQuestion1")) + crlf;
    text += GetLanguageText(QStringLiteral("MLCourbe7")) + ' ' + m.cell(row, CurveModel::Rpm) +
            ' ' + GetLanguageText(QStringLiteral("MLMoteur3")) + crlf;
    text += GetLanguageText(QStringLiteral("MLCourbe8")) + ' ' + m.cell(row, CurveModel::Atmo) +
            deg + crlf;
    text += GetLanguageText(QStringLiteral("MLCourbe9")) + ' ' + m.cell(row, CurveModel::Turbo) +
            deg + crlf;
    if (m.hasKnockColumn())
        text += GetLanguageText(QStringLiteral("MLCourbe11")) + ' ' +
                m.cell(row, CurveModel::Knock) + deg + crlf;
    return text + GetLanguageText(QStringLiteral("MnuEffacerQuestion2"));
}

void CurveEditor::effacerPoint(int row, bool confirmed)
{
    if (confirmed && row >= 0 && row < model().pointCount()) {
        model().SupprimeLigneGrille(row);
        modifie();
    }
    emit info(GetLanguageText(QStringLiteral("MnuEffacerEnd")));
}

CurveMessage CurveEditor::lisser()
{
    emit info(GetLanguageText(QStringLiteral("MnulisserClick")));
    const int before = model().pointCount() + 1; // counted with the header row, as shown
    if (model().lisser() > 0)
        modifie();
    const int after = model().pointCount() + 1;
    CurveMessage report{
        GetLanguageText(QStringLiteral("MnulisserTreate")),
        GetLanguageText(QStringLiteral("MnulisserBefore1")) + ' ' + QString::number(before) + ' ' +
            GetLanguageText(QStringLiteral("MnulisserBefore2")) + QStringLiteral("\r\n") +
            GetLanguageText(QStringLiteral("MnulisserAfter1")) + ' ' + QString::number(after) +
            ' ' + GetLanguageText(QStringLiteral("MnulisserAfter2"))};
    emit info(GetLanguageText(QStringLiteral("MnulisserEnd")));
    return report;
}

void CurveEditor::trier()
{
    emit info(GetLanguageText(QStringLiteral("TriTableauCurrent")));
    model().Tri_tableau(CurveModel::Rpm);
    emit info(GetLanguageText(QStringLiteral("TriTableauEnd")));
    emit info(GetLanguageText(QStringLiteral("MnutrierClick")));
}

void CurveEditor::decaler(int direction)
{
    if (model().decalerAvances(direction >= 0 ? 1.0 : -1.0))
        modifie();
}
