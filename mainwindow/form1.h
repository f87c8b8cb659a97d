#pragma once

#include "announcement.h"
#include "busypointer.h"
#include "hostlistparser.h"
#include "mainwindowfields.h"
#include "siteconfig.h"
#include "ui_form1.h"

#include <QWidget>

#include <array>
#include <optional>

namespace zonara {

class LineControl;
class ListBoxSelection;
class PageLoader;
class Platform;
class Retrieval;

// The main window: credentials, Retrieve, the host list and the selected host's details, the
// host commands, and the link labels. Its controls by role:
//
//   Text1, Text2     user name, password      Command1  Retrieve (the default button)
//   List1            host names, as listed     Command2  Add
//   VList1           hidden: each host's id    Command3  Delete
//   Combo1           the selected host's type  Command4  Edit
//   Text3, Text4     its first, second detail  Command5  Convert
//   Label1, Label2   the boxes' captions       Label3, Label4, Label5  home page, mail, update
//   links
class Form1 final : public QWidget, public MainWindowFields
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    Form1(SiteConfig site, Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    // MainWindowFields: what the host dialogs read.
    MemberRequests memberRequests() const override;
    QString selectedHostName() const override;
    QString selectedHostId() const override;
    int typeDisplayIndex() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void retrieve();
    void clearHosts();
    // Delete and Edit act on the selected host, Convert on a selected host that is not static.
    void setHostCommandsEnabled(bool hostSelected, bool hostConvertible);
    void appendHosts(const QList<ListedHost> &hosts);
    // What the host list says of the retrieval: that it runs, and which listings failed.
    void showListingNotice();
    void showSelectedHost();
    void addHost();
    void deleteHost();
    void editHost();
    void convertHost();
    void openHomePage();
    void openMail();
    void openDownload();
    void checkAnnouncement(const QString &document);
    void fitUpdateLabel(const QString &caption);

    Ui::Form1 m_ui;
    SiteConfig m_site;
    Platform &m_platform;
    PageLoader *m_listingLoader;
    PageLoader *m_announcementLoader;
    std::array<LineControl *, 4> m_lines;
    ListBoxSelection *m_hostSelection = nullptr;
    Retrieval *m_retrieval;
    Announcement m_announcement;
    // What the host list says of this retrieval's listings that failed, one line each.
    QStringList m_listingFailures;
    std::optional<BusyPointer> m_retrieving;
};

} // namespace zonara
