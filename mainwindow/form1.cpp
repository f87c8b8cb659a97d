#include "form1.h"

#include "defaultbuttonframe.h"
#include "displaytext.h"
#include "form2.h"
#include "form4.h"
#include "linecontrol.h"
#include "linkhover.h"
#include "listboxselection.h"
#include "listingnotice.h"
#include "module1.h"
#include "pageloader.h"
#include "platform.h"
#include "readonlydisplay.h"
#include "retrieval.h"
#include "textvalue.h"
#include "version.h"
#include "windowstyle.h"
#include "windowtitlebar.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <new>

namespace zonara {

namespace {

// The update label keeps its right edge under the home page link's and grows to the left as
// far as the link frame allows.
constexpr int UpdateLabelRight = 6375;
constexpr int LinkFrameInside = 3855;

} // namespace

Form1::Form1(SiteConfig site, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_site(std::move(site))
    , m_platform(platform)
    , m_listingLoader(new PageLoader(this))
    , m_announcementLoader(new PageLoader(this))
{
    m_ui.setupUi(this);
    setWindowTitle(QStringLiteral("Zonara Manager by ") + m_site.publisherName);
    setWindowIcon(programIcon());
    makeFixedWindow(*this, MinimizeButton::Shown);
    m_ui.Label3->setText(m_site.homePage);
    m_ui.Label4->setText(m_site.contactAddress);
    for (QLabel *link : {m_ui.Label3, m_ui.Label4, m_ui.Label5}) {
        LinkHover::setStyle(*link, false);
        link->setCursor(handPointer());
        link->installEventFilter(this);
    }

    m_listingLoader->setObjectName(QStringLiteral("DHTMLEdit1"));
    m_announcementLoader->setObjectName(QStringLiteral("DHTMLEdit2"));

    // The link frame: an etched groove, shadow line then highlight line one pixel further.
    m_lines = {
        new LineControl(QStringLiteral("Line1"), QPalette::Light, 3840, 0, 3840, 720, this),
        new LineControl(QStringLiteral("Line2"), QPalette::Dark, 6480, 720, 3840, 720, this),
        new LineControl(QStringLiteral("Line3"), QPalette::Dark, 3825, 0, 3825, 720, this),
        new LineControl(QStringLiteral("Line4"), QPalette::Light, 3840, 735, 6480, 735, this),
    };
    for (LineControl *line : m_lines)
        connect(line, &LineControl::changed, this, qOverload<>(&QWidget::update));

    m_retrieval = new Retrieval(
        *m_listingLoader, [this] { return memberRequests(); }, this);

    m_hostSelection = new ListBoxSelection(*m_ui.List1);
    connect(m_retrieval, &Retrieval::listingRead, this,
            [this](HostKind, const QList<ListedHost> &hosts) { appendHosts(hosts); });
    connect(m_retrieval, &Retrieval::listingFailed, this,
            [this](HostKind kind, const LoadOutcome &outcome, const QString &pageTitle) {
                m_listingFailures.append(listingFailureNotice(kind, outcome, pageTitle));
                showListingNotice();
            });
    connect(m_retrieval, &Retrieval::finished, this, [this] {
        m_retrieving.reset();
        showListingNotice();
    });
    // The selected host's type and details: disabled, yet as readable as any text.
    for (QWidget *detail : std::initializer_list<QWidget *>{m_ui.Combo1, m_ui.Text3, m_ui.Text4})
        showTextAsEnabled(*detail);
    new DefaultButtonFrame(*m_ui.Command1);
    connect(m_ui.Command1, &QPushButton::clicked, this, &Form1::retrieve);
    connect(m_ui.List1, &QListWidget::itemSelectionChanged, this, &Form1::showSelectedHost);
    connect(m_ui.Command2, &QPushButton::clicked, this, &Form1::addHost);
    connect(m_ui.Command3, &QPushButton::clicked, this, &Form1::deleteHost);
    connect(m_ui.Command4, &QPushButton::clicked, this, &Form1::editHost);
    connect(m_ui.Command5, &QPushButton::clicked, this, &Form1::convertHost);
    connect(m_announcementLoader, &PageLoader::documentComplete, this, &Form1::checkAnnouncement);
    new LinkHover(*this, {m_ui.Label3, m_ui.Label4, m_ui.Label5}, {m_ui.Command4, m_ui.Command5});

    focusFirstAvailable({m_ui.Text1, m_ui.Text2, m_ui.Command1});
    m_announcementLoader->load(m_site.announcementAddress);
}

Form1::~Form1() = default;

void Form1::clearHosts()
{
    m_hostSelection->clear();
    m_ui.VList1->clear();
}

void Form1::appendHosts(const QList<ListedHost> &hosts)
{
    // The hidden list keeps the whole id for the requests; the host list shows a bounded name.
    try {
        for (const ListedHost &host : hosts) {
            m_ui.VList1->addItem(QString::number(host.id));
            m_ui.List1->addItem(boundedForDisplay(host.name));
        }
    } catch (const std::bad_alloc &) {
        // Entry i of one list stays the host of entry i of the other, and the list says it is
        // not whole.
        while (m_ui.VList1->count() > m_ui.List1->count())
            delete m_ui.VList1->takeItem(m_ui.VList1->count() - 1);
        while (m_ui.List1->count() > m_ui.VList1->count())
            delete m_ui.List1->takeItem(m_ui.List1->count() - 1);
        m_listingFailures.append(tr("Not every host could be listed: out of memory."));
        showListingNotice();
    }
}

void Form1::showListingNotice()
{
    m_ui.List1->setNotice(m_retrieving ? QStringList(retrievingNotice()) + m_listingFailures
                                       : m_listingFailures);
}

MemberRequests Form1::memberRequests() const
{
    // The one place the user name and password are read: each request is built from them as
    // they stand at that moment.
    return MemberRequests(m_site.memberHost, {m_ui.Text1->text(), m_ui.Text2->text()});
}

QString Form1::selectedHostName() const
{
    const QList<QListWidgetItem *> selected = m_ui.List1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QString Form1::selectedHostId() const
{
    const QList<QListWidgetItem *> selected = m_ui.List1->selectedItems();
    const QListWidgetItem *id =
        selected.isEmpty() ? nullptr : m_ui.VList1->item(m_ui.List1->row(selected.first()));
    return id ? id->text() : QString();
}

int Form1::typeDisplayIndex() const
{
    return m_ui.Combo1->currentIndex();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // A link label is clicked when the button is released over it.
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *label = qobject_cast<QLabel *>(watched);
        const auto *release = static_cast<QMouseEvent *>(event);
        if (label && release->button() == Qt::LeftButton &&
            label->rect().contains(release->position().toPoint())) {
            if (label == m_ui.Label3)
                openHomePage();
            else if (label == m_ui.Label4)
                openMail();
            else if (label == m_ui.Label5)
                openDownload();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // Retrieve is the window's default button: Enter presses it unless a button has the focus,
    // which then takes Enter itself.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))) {
        if (m_ui.Command1->isEnabled())
            m_ui.Command1->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.translate(0, ownTitleBarHeight(*this));
    for (const LineControl *line : m_lines) {
        painter.setPen(QPen(palette().color(line->colour()), 0));
        painter.drawLine(twipsToPixels(line->x1()), twipsToPixels(line->y1()),
                         twipsToPixels(line->x2()), twipsToPixels(line->y2()));
    }
}

void Form1::retrieve()
{
    setHostCommandsEnabled(false, false);
    clearHosts();
    // Work shows until the static listing is read; the window stays usable meanwhile.
    m_listingFailures.clear();
    if (!m_retrieving)
        m_retrieving.emplace();
    showListingNotice();
    m_retrieval->start();
}

void Form1::showSelectedHost()
{
    const QList<QListWidgetItem *> selected = m_ui.List1->selectedItems();
    if (selected.isEmpty()) {
        // Only Retrieve empties the selection; without a host the host commands cannot act.
        setHostCommandsEnabled(false, false);
        return;
    }
    const QListWidgetItem *idItem = m_ui.VList1->item(m_ui.List1->row(selected.first()));
    if (!idItem)
        return;
    const int id = wholeNumberIn(numericValue(idItem->text()), 0, HostRecordTable::SlotCount - 1);
    if (id < 0)
        return;

    const HostRecord &record = m_retrieval->records()[id];
    m_ui.Combo1->setCurrentIndex(int(record.kind) - 1);
    m_ui.Text3->setText(boundedForDisplay(record.firstDetail));
    m_ui.Text4->setText(boundedForDisplay(record.secondDetail));
    setHostCommandsEnabled(true, record.kind != HostKind::Static);
}

void Form1::setHostCommandsEnabled(bool hostSelected, bool hostConvertible)
{
    m_ui.Command3->setEnabled(hostSelected);
    m_ui.Command4->setEnabled(hostSelected);
    m_ui.Command5->setEnabled(hostSelected && hostConvertible);
}

void Form1::addHost()
{
    Form2 dialog(*this, m_site.domainSuffixes);
    dialog.exec();
}

void Form1::editHost()
{
    Form4 dialog(*this, m_platform.localIpAddress());
    dialog.exec();
}

void Form1::deleteHost()
{
    const QString name = selectedHostName();
    if (!m_platform.askYesNo(QStringLiteral("Sure?"),
                             QStringLiteral("Sure you want to delete ") + name + u'?'))
        return;
    Module1::ShowReport(memberRequests().deleteHost(typeDisplayIndex(), selectedHostId()));
}

void Form1::convertHost()
{
    const QString name = selectedHostName();
    if (!m_platform.askYesNo(QStringLiteral("Sure?"), QStringLiteral("Sure you want to convert ") +
                                                          name +
                                                          QStringLiteral(" to a static DNS?")))
        return;
    Module1::ShowReport(memberRequests().convertHost(selectedHostId()));
}

} // namespace zonara

namespace zonara {

void Form1::openHomePage()
{
    m_platform.shellOpen(m_site.homePage);
}

void Form1::openMail()
{
    m_platform.shellOpen(QStringLiteral("mailto:") + m_site.feedbackAddress +
                         QStringLiteral("?subject=Zonara Manager ") + versionText());
}

void Form1::openDownload()
{
    // The address comes from a page off the network: hand the desktop web addresses only, never
    // a local file or program.
    if (isWebAddress(m_announcement.downloadAddress))
        m_platform.shellOpen(m_announcement.downloadAddress);
}

void Form1::checkAnnouncement(const QString &document)
{
    readAnnouncement(document, m_announcement);
    const UpdateNotice notice = updateNotice(versionText(), m_announcement);
    if (notice.showUpdateLabel) {
        fitUpdateLabel(notice.updateLabelCaption);
        // The link frame's lower groove moves down to take the update label in.
        auto *line1 = m_lines[0];
        auto *line2 = m_lines[1];
        auto *line3 = m_lines[2];
        auto *line4 = m_lines[3];
        line1->setY2(960);
        line3->setY2(960);
        line2->setY1(960);
        line2->setY2(960);
        line4->setY1(975);
        line4->setY2(975);
        m_ui.Label5->show();
    }
    // Reason and version come off the network and may be of any length: each is bounded, so the
    // question's own words always show.
    if (notice.askToDownload &&
        m_platform.askYesNo(QStringLiteral("Incompatible"),
                            incompatibleQuestion(boundedForDisplay(m_announcement.reason),
                                                 boundedForDisplay(m_announcement.version))))
        openDownload();
}

void Form1::fitUpdateLabel(const QString &caption)
{
    QLabel &label = *m_ui.Label5;
    const QString shown = boundedForDisplay(caption);
    const QFontMetrics metrics = label.fontMetrics();
    const int right = twipsToPixels(UpdateLabelRight);
    const int widest = std::max(label.width(), right - twipsToPixels(LinkFrameInside));
    const int needed = metrics.horizontalAdvance(shown);
    const int width = std::clamp(needed, label.width(), widest);
    label.setGeometry(right - width, label.y(), width, label.height());
    if (needed <= width) {
        label.setText(shown);
        label.setToolTip(QString());
        return;
    }
    // Too wide even for the whole frame: the start of the caption says what the link is, so the
    // end gives way, and the tooltip tells the rest.
    label.setText(metrics.elidedText(shown, Qt::ElideRight, width));
    label.setToolTip(plainToolTip(shown));
}

} // namespace zonara
