#include "LanguageGuard.h"

#include "FakePrompts.h"
#include "TestSupport.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/VEK_Info_System.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>

namespace {

// A quoted value or name ("« abc »") reads as a neutral value, in a text as in
// the language file's text it comes from.
QString withoutQuotedValues(QString text)
{
    static const QRegularExpression quoted(QStringLiteral("(«)[^»]*(»)|(\")[^\"\n]*(\")"));
    return text.replace(quoted, QStringLiteral("\\1\\3 0 \\2\\4"));
}

// A text as the user reads it: no shortcut marks, no markup, no carriage returns.
QString readable(QString text)
{
    if (Qt::mightBeRichText(text))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    static const QRegularExpression mark(QStringLiteral("&(?=[^&\\s])"));
    text.remove(mark).replace(QLatin1String("&&"), QLatin1String("&"));
    text.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\t'), QLatin1Char(' '));
    return withoutQuotedValues(text);
}

bool hasLetter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

// The fixed pieces of a language text: what stands between its placeholders.
QStringList piecesOf(const QString &value)
{
    static const QRegularExpression placeholder(
        QStringLiteral("\\{[A-Za-z_0-9]+\\}|%[A-Za-z_]+%|%[0-9]"));
    QStringList pieces;
    for (const QString &piece : readable(value).split(placeholder))
        for (const QString &line : piece.split(QLatin1Char('\n')))
            if (hasLetter(line))
                pieces << line.trimmed();
    return pieces;
}

// A letter or digit, or what joins the parts of a name ("VEK_Courbe.ini", a path).
bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('/') ||
           c == QLatin1Char('\\');
}

// Takes every whole-word occurrence of `piece` out of `text`.
void takeOut(QString &text, const QString &piece)
{
    qsizetype from = 0;
    while ((from = text.indexOf(piece, from)) >= 0) {
        const qsizetype end = from + piece.size();
        const bool startsClean =
            from == 0 || !wordChar(piece.front()) || !wordChar(text.at(from - 1));
        const bool endsClean =
            end == text.size() || !wordChar(piece.back()) || !wordChar(text.at(end));
        if (startsClean && endsClean) {
            text.replace(from, piece.size(), QStringLiteral("\u0001"));
            from += 1;
        } else {
            from = end;
        }
    }
}

// A token that names a file, a port, an address or a value rather than saying something.
bool isNameOrNumber(const QString &token)
{
    static const QRegularExpression fileName(QStringLiteral("^[~\\w.-]+\\.\\w{1,4}$"));
    return std::any_of(token.cbegin(), token.cend(), [](QChar c) { return c.isDigit(); }) ||
           token.contains(QLatin1Char('/')) || token.contains(QLatin1Char('\\')) ||
           token.contains(QLatin1Char('*')) || token.contains(QLatin1Char('@')) ||
           token.contains(QLatin1Char('_')) || fileName.match(token).hasMatch();
}

} // namespace

LanguageGuard::LanguageGuard()
{
    for (const QString &file : files()) {
        QStringList lines;
        TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines);
        Language &language = m_languages[file];
        for (const QString &line : std::as_const(lines)) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0 || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';')))
                continue;
            const QString key = line.left(eq).toLower();
            if (language.values.contains(key))
                continue;
            language.values.insert(key, line.mid(eq + 1));
            language.pieces << piecesOf(line.mid(eq + 1));
        }
        language.pieces.removeDuplicates();
        std::sort(language.pieces.begin(), language.pieces.end(),
                  [](const QString &a, const QString &b) { return a.size() > b.size(); });
    }
}

QStringList LanguageGuard::files()
{
    return {QStringLiteral("francais.ini"), QStringLiteral("english.ini"),
            QStringLiteral("deutch.ini"), QStringLiteral("spanish.ini"),
            QStringLiteral("slovak.ini")};
}

void LanguageGuard::setLanguage(const QString &file)
{
    m_current = file;
}

void LanguageGuard::addNames(const QStringList &words)
{
    for (const QString &word : words)
        m_names.insert(word);
}

void LanguageGuard::addNamesIn(const QString &text)
{
    static const QRegularExpression letters(QStringLiteral("\\p{L}+"));
    auto found = letters.globalMatch(text);
    while (found.hasNext())
        m_names.insert(found.next().captured());
}

QStringList LanguageGuard::strayWords(const QString &text) const
{
    QString rest = readable(text);
    // A line a tool or the system prints about a file ("/p/prog.cod: Is a
    // directory", "/p/prog.asm:3:Error[181] ...") is quoted after the
    // program's own reason, as it stands.
    static const QRegularExpression toolLine(QStringLiteral("^/\\S+:( |\\d).*$"),
                                             QRegularExpression::MultilineOption);
    rest.remove(toolLine);
    for (const QString &piece : m_languages.value(m_current).pieces)
        if (rest.contains(piece))
            takeOut(rest, piece);
    static const QRegularExpression blank(QStringLiteral("[\\s\\x{0001}]+"));
    static const QRegularExpression edges(QStringLiteral("^[^\\w~/\\\\]+|[^\\w]+$"));
    static const QRegularExpression letters(QStringLiteral("\\p{L}+"));
    QStringList stray;
    for (QString token : rest.split(blank, Qt::SkipEmptyParts)) {
        if (token.contains(QLatin1Char('*'))) // a file pattern of a filter
            continue;
        token.remove(edges);
        if (token.isEmpty() || isNameOrNumber(token))
            continue;
        auto words = letters.globalMatch(token);
        while (words.hasNext()) {
            const QString word = words.next().captured();
            if (word.size() >= 3 && !m_names.contains(word))
                stray << word;
        }
    }
    return stray;
}

QStringList LanguageGuard::offences(const QStringList &texts) const
{
    QStringList found;
    for (const QString &text : texts) {
        const QStringList stray = strayWords(text);
        if (!stray.isEmpty())
            found << QStringLiteral("%1  <- %2")
                         .arg(QString(text).replace(QLatin1Char('\n'), QLatin1String(" | ")),
                              stray.join(QLatin1Char(' ')));
    }
    found.removeDuplicates();
    return found;
}

QSet<QString> LanguageGuard::keys(const QString &file) const
{
    const QList<QString> list = m_languages.value(file).values.keys();
    return QSet<QString>(list.cbegin(), list.cend());
}

namespace {

// Names and technical words that read the same in every language: module,
// chip, line and signal names, languages' own names, tools and commands.
const QStringList CommonNames{
    "VEK", "Courbe", "VEKP", "JDM", "MIRT", "KORVALx", "PIC", "ICSP", "BOOTLOADER", "AUTO", "PAK",
    "MCLR", "ASCII", "CTS", "DSR", "RTS", "Xon", "Xoff", "Français", "English", "Deutsch",
    "Español", "Slovenčina", "BUSY", "SELECT", "DATA", "CLOCK", "gputils", "gpasm", "parport",
    "ppdev", "sudo", "modprobe", "usermod", "HexTimeStamp", "HexFileName", "DeviceName",
    "DeviceChip", "DeviceAlgo", "DevicePgmSize", "DeviceEESize", "TypeChip",
    // The configuration word's bits and oscillators, as the chips' data sheets name them.
    "WDT", "PWRT", "BODEN", "LVP", "CPD", "WRT", "DEBUGGER", "CP", "WP", "OFF", "LP", "XT", "HS",
    "ExtClk", "IntRC", "ExtRC", "ER", "CLKOUT"};

} // namespace

ShownLog::ShownLog(const QString &file) : m_file(file)
{
    m_guard.setLanguage(file);
    m_guard.addNames(CommonNames);
    m_guard.addNamesIn(VEK_Info_System::GetCpuName() + ' ' + VEK_Info_System::GetSystemName());
}

void ShownLog::look(const FakePrompts &prompts)
{
    for (const FakePrompts::Shown &m : prompts.messages)
        m_shown << m.title << m.text; // the details are a tool's own output
    m_shown << prompts.fileFilters << prompts.asked << prompts.titles;
}

bool ShownLog::saw(const char *key) const
{
    const QString text = VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(key))
                             .section(QLatin1Char('%'), 0, 0)
                             .section(QLatin1Char('{'), 0, 0);
    return std::any_of(m_shown.cbegin(), m_shown.cend(),
                       [&text](const QString &s) { return s.contains(text); });
}

QStringList ShownLog::offences() const
{
    if (qEnvironmentVariableIsSet("VEK_DUMP_SHOWN")) // to see what a drive reached
        for (const QString &text : m_shown)
            qWarning().noquote() << "shown:" << QString(text).replace(QLatin1Char('\n'), " | ");
    const QStringList found = m_guard.offences(m_shown);
    for (const QString &offence : found)
        qWarning().noquote() << "not in" << m_file << ":" << offence;
    return found;
}

namespace ShownTexts {

namespace {

void add(QStringList &out, const QString &text)
{
    if (!text.trimmed().isEmpty())
        out << text;
}

void addActions(QStringList &out, const QList<QAction *> &actions)
{
    for (const QAction *action : actions) {
        add(out, action->text());
        if (action->toolTip() != action->text().remove(QLatin1Char('&')))
            add(out, action->toolTip());
        add(out, action->statusTip());
        if (action->menu())
            addActions(out, action->menu()->actions());
    }
}

void addHeaders(QStringList &out, const QAbstractItemModel *model)
{
    if (!model)
        return;
    for (int c = 0; c < model->columnCount(); ++c)
        add(out, model->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < std::min(model->rowCount(), 40); ++r)
        add(out, model->headerData(r, Qt::Vertical).toString());
}

void addItems(QStringList &out, const QAbstractItemModel *model)
{
    if (!model)
        return;
    for (int c = 0; c < model->columnCount(); ++c)
        add(out, model->headerData(c, Qt::Horizontal).toString());
    const int rows = std::min(model->rowCount(), 40);
    for (int r = 0; r < rows; ++r) {
        add(out, model->headerData(r, Qt::Vertical).toString());
        for (int c = 0; c < model->columnCount(); ++c) {
            add(out, model->data(model->index(r, c)).toString());
            add(out, model->data(model->index(r, c), Qt::ToolTipRole).toString());
        }
    }
}

// A standard button of a message box or button box: Qt's own text, in the
// language of Qt's catalogue (checked apart).
bool isStandardButton(const QAbstractButton *button)
{
    for (const QObject *up = button->parent(); up; up = up->parent()) {
        if (const auto *box = qobject_cast<const QDialogButtonBox *>(up))
            return box->standardButton(const_cast<QAbstractButton *>(button)) !=
                   QDialogButtonBox::NoButton;
        if (const auto *box = qobject_cast<const QMessageBox *>(up))
            return box->standardButton(const_cast<QAbstractButton *>(button)) !=
                   QMessageBox::NoButton;
    }
    return false;
}

void addWidget(QStringList &out, const QWidget *w)
{
    if (w->isWindow())
        add(out, w->windowTitle());
    add(out, w->toolTip());
    add(out, w->statusTip());
    add(out, w->whatsThis());
    // The program's own painted controls (a lamp's caption, a dial's unit)
    // name their text for screen readers; Qt's own controls are its texts.
    if (!QByteArray(w->metaObject()->className()).startsWith('Q'))
        add(out, w->accessibleName());
    if (const auto *label = qobject_cast<const QLabel *>(w))
        add(out, label->text());
    else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
        if (!isStandardButton(button))
            add(out, button->text());
    } else if (const auto *group = qobject_cast<const QGroupBox *>(w))
        add(out, group->title());
    else if (const auto *bar = qobject_cast<const QTabBar *>(w)) {
        for (int i = 0; i < bar->count(); ++i) {
            add(out, bar->tabText(i));
            add(out, bar->tabToolTip(i));
        }
    } else if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
        for (int i = 0; i < combo->count(); ++i)
            add(out, combo->itemText(i));
    } else if (const auto *view = qobject_cast<const QAbstractItemView *>(w)) {
        // A table's cells hold values (a curve's points); its headers are texts.
        if (qobject_cast<const QTableView *>(view))
            addHeaders(out, view->model());
        else if (!qobject_cast<const QComboBox *>(view->parent()))
            addItems(out, view->model());
    } else if (const auto *edit = qobject_cast<const QLineEdit *>(w))
        add(out, edit->placeholderText());
    else if (const auto *text = qobject_cast<const QTextEdit *>(w))
        add(out, text->toPlainText());
    else if (const auto *plain = qobject_cast<const QPlainTextEdit *>(w)) {
        add(out, plain->placeholderText());
    } else if (const auto *progress = qobject_cast<const QProgressBar *>(w)) {
        if (progress->isTextVisible())
            add(out, progress->text());
    } else if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(w))
        add(out, spin->specialValueText());
    else if (const auto *chart = qobject_cast<const QChartView *>(w)) {
        if (QChart *c = chart->chart()) {
            add(out, c->title());
            for (const QAbstractAxis *axis : c->axes())
                add(out, axis->titleText());
            for (const QAbstractSeries *series : c->series())
                add(out, series->name());
        }
    }
    if (const auto *box = qobject_cast<const QMessageBox *>(w)) {
        add(out, box->text());
        add(out, box->informativeText()); // its details are a tool's own output
    }
    if (const auto *menu = qobject_cast<const QMenu *>(w)) {
        add(out, menu->title());
        addActions(out, menu->actions());
    } else if (const auto *menus = qobject_cast<const QMenuBar *>(w))
        addActions(out, menus->actions());
    else
        addActions(out, w->actions());
}

void walk(QStringList &out, const QWidget *w)
{
    addWidget(out, w);
    if (const auto *files = qobject_cast<const QFileDialog *>(w)) {
        out << files->nameFilters(); // Qt's own controls aside
        return;
    }
    for (const QObject *child : w->children())
        if (const auto *widget = qobject_cast<const QWidget *>(child))
            walk(out, widget);
}

} // namespace

QStringList of(const QWidget *root)
{
    QStringList out;
    walk(out, root);
    out.removeDuplicates();
    return out;
}

QStringList ofApplication()
{
    QStringList out;
    for (const QWidget *top : QApplication::topLevelWidgets())
        if (!top->parentWidget())
            out << of(top);
    out.removeDuplicates();
    return out;
}

} // namespace ShownTexts
