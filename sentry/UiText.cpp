#include "sentry/UiText.h"

#include <QLineEdit>
#include <QValidator>

#include "accountstore/Text.h"

namespace hg::sentry {
namespace {

class CodePageValidator : public QValidator {
public:
    CodePageValidator(std::function<void()> refused, QObject* parent)
        : QValidator(parent), refused_(std::move(refused)) {}

    State validate(QString& input, int&) const override {
        if (text::utf8ToCp1252(input.toUtf8().toStdString()))
            return Acceptable;
        if (refused_)
            refused_();
        return Invalid;
    }

private:
    std::function<void()> refused_;
};

}  // namespace

QString shown(std::string_view cp1252) {
    return QString::fromStdString(text::cp1252ToUtf8(cp1252));
}

std::string bytesOf(const QString& text) {
    Expected<std::string, text::Unrepresentable> bytes =
        text::utf8ToCp1252(text.toUtf8().toStdString());
    return bytes ? std::move(*bytes) : std::string();
}

std::string boxText(const QLineEdit& box) {
    return bytesOf(box.text());
}

void guardCodePage(QLineEdit& box, std::function<void()> refused) {
    box.setValidator(new CodePageValidator(std::move(refused), &box));
}

}  // namespace hg::sentry
