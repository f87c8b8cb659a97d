#pragma once

#include "htmlserializer.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zonara {

// The text of a page as the program reads it: lines ended by CR LF and, for HTML, the form that
// serializeHtml() writes. `contentType` is the answer's Content-Type header, possibly empty.
// The body is decoded by its declared charset, else as UTF-8, else as Windows-1252. Nothing when
// an HTML page runs past the parse limits.
std::optional<QString> documentText(const QByteArray &body, const QByteArray &contentType,
                                    const ParseLimits &limits = {});

// Whether a Content-Type names an HTML page. A missing type is taken as HTML, as browsers do.
bool isHtmlContentType(const QByteArray &contentType);

// Decodes a body as documentText() does, without reshaping it.
QString decodeBody(const QByteArray &body, const QByteArray &contentType);

// Writes every line end (CR LF, CR or LF) as CR LF.
QString withCrLfLineEnds(QStringView text);

} // namespace zonara
