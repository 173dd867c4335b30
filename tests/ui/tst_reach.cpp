// Every window as a screen reader, a keyboard and a translator meet it: under
// a pseudo-translation (every text of ours wrapped in ⟦ ⟧ and lengthened), no
// English text of the sources is left on screen, every control is named, and
// Tab follows the reading order.
#include "TestSupport.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "ui/cover/CoverPane.h"
#include "ui/library/CandidateStrip.h"
#include "ui/library/FillTable.h"
#include "ui/library/FillWindow.h"
#include "ui/search/SearchPane.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTextDocument>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

// The contexts and source texts of a translation file.
struct Sources {
    QSet<QByteArray> contexts;
    QList<QRegularExpression> english; // each source, its placeholders as wildcards
};

Sources readSources(const QString& path) {
    Sources sources;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return sources;
    }
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.name() == QLatin1String("name")) {
            sources.contexts.insert(xml.readElementText().toUtf8());
        } else if (xml.name() == QLatin1String("source")) {
            QString text = xml.readElementText().remove(QRegularExpression("&(?=\\w)"));
            // Too few words of its own to tell from data ("%1 (%2)", "OK").
            if (QString(text).remove(QRegularExpression("%\\w|[^\\p{L}]")).size() >= 3) {
                sources.english << QRegularExpression(
                    QRegularExpression::anchoredPattern(QRegularExpression::escape(text).replace(
                        QRegularExpression("%(\\d|n)"), ".*")),
                    QRegularExpression::DotMatchesEverythingOption);
            }
        }
    }
    return sources;
}

// What a translation that only lengthens and marks would say.
class PseudoTranslator : public QTranslator {
public:
    explicit PseudoTranslator(QSet<QByteArray> contexts) : m_contexts(std::move(contexts)) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        const QString text = QString::fromUtf8(source);
        if (!m_contexts.contains(context) || text.startsWith(QLatin1String("Ctrl+"))) {
            return {};
        }
        static const QRegularExpression kept("%\\d|%n|%\\{\\w+\\}|<[^>]*>|&\\w");
        QString pseudo;
        qsizetype from = 0;
        for (auto match = kept.globalMatch(text); match.hasNext();) {
            const auto token = match.next();
            pseudo += accented(text.mid(from, token.capturedStart() - from)) + token.captured();
            from = token.capturedEnd();
        }
        pseudo += accented(text.mid(from));
        return u'⟦' + pseudo + QString(qMax<qsizetype>(2, text.size() * 3 / 10), u'~') + u'⟧';
    }

private:
    static QString accented(QString text) {
        const QString plain = QStringLiteral("aeiouAEOU");
        const QString marked = QStringLiteral("áéíöüÅÉÖÜ");
        for (QChar& c : text) {
            if (const auto at = plain.indexOf(c); at >= 0) {
                c = marked.at(at);
            }
        }
        return text;
    }
    QSet<QByteArray> m_contexts;
};

QString plain(const QString& text) {
    if (!Qt::mightBeRichText(text)) {
        return text;
    }
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// The words a window shows or says of itself.
QStringList shownTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets << window;
    for (QWidget* widget : std::as_const(widgets)) {
        if (!widget->isVisibleTo(window) && !qobject_cast<QMenu*>(widget)) {
            continue;
        }
        texts << widget->toolTip() << widget->accessibleName() << widget->accessibleDescription();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts << plain(label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            texts << field->placeholderText();
        } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            texts << box->title();
        } else if (auto* picker = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < picker->count(); ++i) {
                texts << picker->itemText(i);
            }
        } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            const QAbstractItemModel* model = view->model();
            for (int column = 0; model && column < model->columnCount(); ++column) {
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(); ++row) {
                    texts << model->index(row, column).data().toString()
                          << model->index(row, column).data(Qt::AccessibleTextRole).toString();
                }
            }
        }
        for (QAction* action : widget->actions()) {
            texts << action->text() << action->toolTip();
        }
    }
    return texts;
}

// The texts of a window that are English words of the sources, untranslated.
QStringList untranslated(QWidget* window, const Sources& sources) {
    QStringList found;
    for (QString text : shownTexts(window)) {
        text.remove(QRegularExpression("&(?=\\w)"));
        if (text.contains(u'⟦')) {
            continue;
        }
        for (const QRegularExpression& english : sources.english) {
            if (english.match(text).hasMatch()) {
                found << window->metaObject()->className() + QStringLiteral(": ") + text;
                break;
            }
        }
    }
    found.removeDuplicates();
    return found;
}

// The controls a screen reader cannot name: tab stops or pictures, pickers
// and headers without a name, a picker named by its value, a window without
// a window's role.
QStringList unnamed(QAccessibleInterface* node, const QString& where) {
    QStringList faults;
    if (!node || node->state().invisible) {
        return faults;
    }
    static const QSet<QAccessible::Role> named{
        QAccessible::Graphic,  QAccessible::PushButton,   QAccessible::ProgressBar,
        QAccessible::ComboBox, QAccessible::CheckBox,     QAccessible::SpinBox,
        QAccessible::List,     QAccessible::ColumnHeader, QAccessible::Table,
        QAccessible::Window,   QAccessible::Dialog,       QAccessible::EditableText};
    const QAccessible::Role role = node->role();
    const QString name = node->text(QAccessible::Name);
    const QObject* object = node->object();
    const QString what =
        where + QLatin1Char('/') +
        (object ? object->metaObject()->className() + QStringLiteral(":") + object->objectName()
                : QStringLiteral("item"));
    auto* widget = qobject_cast<QWidget*>(node->object());
    const bool tabStop = widget ? (widget->focusPolicy() & Qt::TabFocus) : node->state().focusable;
    if ((named.contains(role) || tabStop) && name.trimmed().isEmpty() &&
        role != QAccessible::Cell && role != QAccessible::ListItem) {
        faults << what + QStringLiteral(" (role %1) has no name").arg(role);
    }
    if (role == QAccessible::ComboBox && name == node->text(QAccessible::Value)) {
        faults << what + QStringLiteral(" is named by its value ") + name;
    }
    if (widget && widget->isWindow() && role != QAccessible::Window &&
        role != QAccessible::Dialog) {
        faults << what + QStringLiteral(" is a window of role %1").arg(role);
    }
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child && (child->role() != QAccessible::Cell || i < 16)) {
            faults << unnamed(child, what);
        }
    }
    return faults;
}

// Where Tab goes against the reading order: each tab stop is on the row of
// the one before (and to its right), or on a row below it.
QStringList tabOrderFaults(QWidget* window) {
    QStringList faults;
    QWidget* previous = nullptr;
    QWidget* widget = window->nextInFocusChain();
    for (int i = 0; i < 500 && widget != window; ++i, widget = widget->nextInFocusChain()) {
        if (!widget->isVisible() || !widget->isEnabled() ||
            !(widget->focusPolicy() & Qt::TabFocus) ||
            (previous && widget->isAncestorOf(previous)) || widget->focusProxy()) {
            continue;
        }
        const QPoint at = widget->mapTo(window, QPoint());
        if (previous) {
            const QPoint before = previous->mapTo(window, QPoint());
            const bool sameRow = qAbs(at.y() - before.y()) <= 8;
            if (sameRow ? at.x() <= before.x() : at.y() < before.y()) {
                faults << QStringLiteral("%1: Tab goes from %2 back to %3")
                              .arg(window->metaObject()->className(),
                                   previous->metaObject()->className(),
                                   widget->metaObject()->className());
            }
        }
        previous = widget;
    }
    return faults;
}

QStringList faultsOfEveryWindow(const Sources& sources) {
    QStringList faults;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !window->inherits("QMenu")) {
            faults << untranslated(window, sources) << tabOrderFaults(window)
                   << unnamed(QAccessible::queryAccessibleInterface(window), {});
        }
    }
    return faults;
}

} // namespace

#define VERIFY_EVERY_WINDOW()                                                                      \
    do {                                                                                           \
        const QStringList faults = faultsOfEveryWindow(m_sources);                                 \
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));                    \
    } while (false)

class TestReach : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    Sources m_sources;
    PseudoTranslator* m_pseudo = nullptr;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        m_sources = readSources(QStringLiteral(SLEEVANTA_TS));
        QVERIFY(m_sources.english.size() > 300);
        m_pseudo = new PseudoTranslator(m_sources.contexts);
        QCoreApplication::installTranslator(m_pseudo);
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
    }

    // One pass through every window: the main window idle, with a cover, with
    // a search that found nothing; Preferences and Donate; a fill with an
    // ambiguous album and its candidates.
    void everyWindowIsTranslatedAndNamed() {
        MainWindow window(TestSupport::context());
        Application delegate(TestSupport::context(), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        VERIFY_EVERY_WINDOW();

        SearchPane* search = window.searchPane();
        const auto searchFor = [search](const QString& term) {
            search->searchField()->setText(term);
            QTest::keyClick(search->searchField(), Qt::Key_Return);
            return QTest::qWaitFor([search] { return !search->isSearching(); }, 10000);
        };
        QVERIFY(searchFor(QStringLiteral("abbey road")));
        search->tableView()->selectRow(0);
        QWidget* cover = window.coverPane()->findChild<QWidget*>(QStringLiteral("coverImageView"));
        QTRY_VERIFY_WITH_TIMEOUT(cover->accessibleName().contains(QStringLiteral("600 × 600")),
                                 10000);
        QCOMPARE(QAccessible::queryAccessibleInterface(cover)->role(), QAccessible::Graphic);
        VERIFY_EVERY_WINDOW();

        // Painted over the list, and said by it.
        QVERIFY(searchFor(QStringLiteral("nothing")));
        QVERIFY2(search->tableView()->accessibleDescription().contains(QStringLiteral("“nothing”")), qPrintable(search->tableView()->accessibleDescription()));
        VERIFY_EVERY_WINDOW();

        delegate.showPreferences();
        delegate.showDonation();
        VERIFY_EVERY_WINDOW();

        const QString music = TestSupport::homeFolder().filePath(QStringLiteral("Music"));
        for (const char* folder : {"Nirvana/Greatest Hits", "The Beatles/Abbey Road"}) {
            QDir().mkpath(music + '/' + folder);
            QFile(music + '/' + folder + "/01.mp3").open(QIODevice::WriteOnly);
        }
        FillOptions options;
        options.root = QFile::encodeName(music);
        options.intervalMs = 50;
        FillWindow* fill = delegate.showFillWindow(options);
        QTRY_COMPARE(fill->table()->model()->rowCount(), 2);
        fill->runButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(fill->runButton()->text(),
                                  QCoreApplication::translate("FillWindow", "Start Again"), 20000);
        for (int row = 0; row < 2 && !fill->candidateStrip()->isVisible(); ++row) {
            fill->table()->selectRow(row);
            QTest::qWait(100);
        }
        QTRY_VERIFY(fill->candidateStrip()->isVisible());
        VERIFY_EVERY_WINDOW();
    }
};

SLEEVANTA_TEST_MAIN(TestReach, QApplication)
#include "tst_reach.moc"
