#pragma once
// Text from the web or the user written into the report pages: it can neither open a tag nor
// leave an attribute, entity text such as "&amp;" still shows as before, and characters beyond
// ASCII are written as numeric references so the pages read right in any browser.

#include <QString>

// For element content and quoted attribute values.
QString HtmlText(const QString& text);
// For attribute values written without quotes: also no blank, quote or apostrophe.
QString HtmlUnquotedAttribute(const QString& text);
