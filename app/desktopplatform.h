#pragma once

#include "platform.h"

namespace zonara {

// The real desktop: QDesktopServices, QMessageBox and QNetworkInterface.
class DesktopPlatform final : public Platform
{
public:
    void shellOpen(const QString &target) override;
    bool askYesNo(const QString &title, const QString &text) override;
    QString localIpAddress() override;
};

} // namespace zonara
