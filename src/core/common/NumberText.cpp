#include "core/common/NumberText.h"

#include "core/common/Failure.h"

#include <QByteArray>

#include <cmath>
#include <optional>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Length of the number at the start of `text` (0 when there is none).
qsizetype NumberLength(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        if (IsDigit(text[i])) {
            digits = true;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) ++j;
        const qsizetype exponentStart = j;
        while (j < n && IsDigit(text[j])) ++j;
        if (j > exponentStart) i = j;
    }
    return i;
}

QStringView SkipLeadingBlanks(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.mid(i);
}

// Decimal order of magnitude of a well-formed number: 0 for 1..9.99, 2 for 100, -3 for
// 0.001. Nothing when all its digits are zero.
std::optional<long long> DecimalOrder(QStringView number) {
    long long order = 0;
    bool seenPoint = false;
    bool seenNonZero = false;
    qsizetype i = 0;
    for (; i < number.size() && !(number[i] == u'e' || number[i] == u'E'); ++i) {
        const QChar c = number[i];
        if (c == u'.') {
            seenPoint = true;
        } else if (IsDigit(c)) {
            if (!seenNonZero && c != u'0') {
                seenNonZero = true;
                order = seenPoint ? order - 1 : 0;
            } else if (seenNonZero && !seenPoint) {
                ++order;
            } else if (!seenNonZero && seenPoint) {
                --order;
            }
        }
    }
    if (!seenNonZero) return std::nullopt;
    if (i < number.size()) {
        const QStringView exponent = number.sliced(i + 1);
        bool ok = false;
        const long long value = exponent.toLongLong(&ok);
        // An exponent too long to read is past any double either way.
        order += ok ? value : (exponent.startsWith(u'-') ? -100000 : 100000);
    }
    return order;
}

double Convert(QStringView number) {
    bool ok = false;
    const double value = number.toLatin1().toDouble(&ok);
    if (ok) return value;
    // The number was checked above, so only its size can make the conversion fail: too
    // large is a failure, too small is as good as zero.
    const std::optional<long long> order = DecimalOrder(number);
    if (order && *order > 0) throw Failure::Overflow();
    return number.startsWith(u'-') ? -0.0 : 0.0;
}

}  // namespace

double TextValue(QStringView text) {
    const QStringView rest = SkipLeadingBlanks(text);
    const qsizetype length = NumberLength(rest);
    return length == 0 ? 0.0 : Convert(rest.first(length));
}

bool IsNumeric(QStringView text) {
    QStringView rest = SkipLeadingBlanks(text);
    while (!rest.isEmpty() && IsBlank(rest.back())) rest.chop(1);
    const qsizetype length = NumberLength(rest);
    if (length == 0 || length != rest.size()) return false;
    try {
        Convert(rest);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

float TextToSingle(QStringView text) {
    if (!IsNumeric(text)) throw Failure::TypeMismatch();
    // Halfway between the largest float and the next power of two: from here on a value
    // would round to infinity.
    constexpr double kFloatOverflow = 0x1.ffffffp127;
    const double value = TextValue(text);
    if (std::fabs(value) >= kFloatOverflow) throw Failure::Overflow();
    return static_cast<float>(value);
}
