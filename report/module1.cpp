#include "module1.h"

#include "form3.h"

namespace Module1 {

QString URL2load;

void ShowReport(const QString &address)
{
    URL2load = address;
    zonara::Form3 window(URL2load);
    window.exec();
}

} // namespace Module1
