#include "desktop/DocumentTypeFiles.h"

#include "desktop/AssociationTable.h"

#include <mvengine/engine.h>

#include <algorithm>

namespace mv::desktop {

namespace {

QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// One argument of an Exec line: quoted when it holds a reserved character, then escaped
// again as every string value of a desktop entry is.
QString execArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString quoted = arg;
    if (std::any_of(arg.begin(), arg.end(), [](QChar c) { return reserved.contains(c); })) {
        quoted.clear();
        for (QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return quoted;
}

} // namespace

QString execLine(const QString& executable)
{
    return execArgument(executable) + QStringLiteral(" /F=%f");
}

QByteArray desktopEntryText(const QString& executable)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Mirravelnock!\n"
                                  "GenericName=Picture Viewer and File Encryption\n"
                                  "Comment=On the fly Encryption/Decryption with image/file viewer.\n"
                                  "Icon=mirravelnock\n");
    text += QStringLiteral("Exec=") + execLine(executable) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n"
                           "Categories=Graphics;Viewer;\n"
                           "Keywords=picture;viewer;encrypt;decrypt;\n");
    // The encrypted files alone: an entry of the user's outranks the system's for every type it
    // names, so naming picture types would take them from the user's viewer. The user gives the
    // program picture types in the association window, which asks the desktop for them.
    text += QStringLiteral("MimeType=") + QLatin1String(kDocumentMimeType) + QStringLiteral(";\n");
    return text.toUtf8();
}

QByteArray mimePackageText(const QStringList& pictureTypes)
{
    QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    text += QStringLiteral(
                "  <mime-type type=\"%1\">\n"
                "    <comment>Mirravelnock! encrypted file</comment>\n"
                "    <icon name=\"mirravelnock\"/>\n"
                "    <magic priority=\"80\"><match type=\"string\" offset=\"0\" value=\"%2\"/></magic>\n"
                "    <glob pattern=\"*.mv$\"/>\n"
                "    <glob pattern=\"*.mv%\"/>\n"
                "  </mime-type>\n")
                .arg(QString::fromLatin1(kDocumentMimeType),
                     xmlEscaped(QString::fromLatin1(MV_SIGNATURE, MV_SIGNATURE_LEN)));
    for (const PictureMimeType& type : pictureMimeTypes()) {
        if (!pictureTypes.contains(type.name))
            continue;
        text += QStringLiteral("  <mime-type type=\"%1\">\n    <comment>%2</comment>\n"
                               "    <generic-icon name=\"image-x-generic\"/>\n")
                    .arg(type.name, xmlEscaped(type.comment));
        if (!type.magicXml.isEmpty())
            text += QStringLiteral("    ") + type.magicXml + QLatin1Char('\n');
        for (const QString& glob : type.globs)
            text += type.globWeight == 50 ? QStringLiteral("    <glob pattern=\"%1\"/>\n").arg(glob)
                                          : QStringLiteral("    <glob pattern=\"%1\" weight=\"%2\"/>\n")
                                                .arg(glob)
                                                .arg(type.globWeight);
        text += QStringLiteral("  </mime-type>\n");
    }
    text += QStringLiteral("</mime-info>\n");
    return text.toUtf8();
}

QStringList pictureTypesMissingOnSystem()
{
    QStringList missing;
    for (const PictureMimeType& type : pictureMimeTypes())
        if (!systemKnowsMimeType(type.name))
            missing << type.name;
    return missing;
}

} // namespace mv::desktop
