#include "shell/MakerDefaults.h"

#include "shell/HiveStore.h"
#include "shell/RegDocument.h"
#include "shell/Registry.h"

#include <QFileInfo>

namespace mv::shell {

namespace {

using namespace Qt::Literals::StringLiterals;

QString keyPath(const QString& path)
{
    return RegDocument::splitKeyPath(path).value_or(QStringList()).join(u'\\');
}

bool hasText(const RegDocument& doc, const QString& path)
{
    const RegValue* v = doc.findValue(path, QString());
    return v && v->isString && !v->text.isEmpty();
}

} // namespace

fileutil::FileResult writeMakerDefaults()
{
    const QString company = keyPath(kCompanyKey);
    const QString product = keyPath(kProductKey);
    const QFileInfo file(hiveFilePath(HKEY_CURRENT_USER));
    const HiveStore store(file.absolutePath(), file.fileName());

    // Look first without the write lock: on every start but the first, nothing is missing.
    RegDocument doc;
    if (store.read(&doc) && hasText(doc, company) && hasText(doc, product))
        return fileutil::FileResult::success();

    return store.modify([&](RegDocument& d) {
        bool changed = false;
        if (!hasText(d, company)) {
            d.setValue(company, {QString(), true, u"Quality 32bit Software for Windows 95/98 and NT 4/5"_s});
            d.setValue(company, {u"WebSite"_s, true, u"https://www.braxmoor.example/"_s});
            d.setValue(company, {u"TechEmail"_s, true, u"support@braxmoor.example"_s});
            changed = true;
        }
        if (!hasText(d, product)) {
            d.setValue(product,
                       {QString(), true, u"On the fly Encryption/Decryption with image/file viewer."_s});
            changed = true;
        }
        return changed;
    });
}

} // namespace mv::shell
