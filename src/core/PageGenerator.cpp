#include "core/PageGenerator.h"

#include "core/CharacterEscapes.h"
#include "core/CheckFolderMerge.h"
#include "core/Markup.h"
#include "core/NumberReading.h"
#include "core/Spaces.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace quorel::core
{
namespace
{
    void appendNumberText(QString &out, qint64 n, qint64 digits)
    {
        char16_t buffer[24];
        int length = 0;
        std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
        do {
            buffer[length++] = static_cast<char16_t>(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        const qsizetype padding = std::max<qint64>(digits - length, 0);
        const qsizetype begin = out.size();
        out.resize(begin + (n < 0 ? 1 : 0) + padding + length);
        QChar *cursor = out.data() + begin;
        if (n < 0)
            *cursor++ = u'-';
        cursor = std::fill_n(cursor, padding, QChar(u'0'));
        while (length > 0)
            *cursor++ = QChar(buffer[--length]);
    }

    // The file name is the head, a number and the tail, and every address the base and a file name,
    // so the first image's address and attributes hold every character the page's images can.
    bool isAscii(QStringView text)
    {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    }

    qsizetype numberTextLength(qint64 digits)
    {
        return std::max<qint64>(digits, 20) + 1;
    }

    // The parts every address is made of, as one kind of output writes them.
    struct Pattern
    {
        QString base;
        QString head;
        QString tail;
    };

    Pattern escapedPattern(const PageRequest &request, QString (*escape)(QStringView, CharacterEscapes::Holds))
    {
        if (!request.codePageHolds)
            return {request.baseAddress, request.head, request.tail};
        return {escape(request.baseAddress, request.codePageHolds), escape(request.head, request.codePageHolds),
                escape(request.tail, request.codePageHolds)};
    }

    class Generator
    {
    public:
        Generator(const PageRequest &request, QString storage)
            : m_request(request)
            , m_kind(request.thumbnails ? Markup::PageKind::Thumbnail : Markup::PageKind::Plain)
        {
            m_result.text = std::move(storage);
            m_result.text.resize(0); // keeps the memory, unlike clear()
        }

        core::Result<PageResult> run()
        {
            build();
            if (m_refusal)
                return core::fail(*m_refusal);
            return std::move(m_result);
        }

    private:
        void build()
        {
            const auto start = NumberReading::wholeValueOfNumericText(m_request.startText);
            const auto end = NumberReading::wholeValueOfNumericText(m_request.endText);
            if (!start || !end)
                return refuse(Reason::BadStartOrEnd);
            const auto digits = NumberReading::wholeValue32(NumberReading::numericValue(m_request.digitCountText));
            if (!digits)
                return refuse(Reason::BadDigitCount);
            m_digits = std::max<qint64>(*digits, 0);
            if (*start <= *end && m_digits > PageLimits::maxPageUnits)
                return refuse(Reason::PageTooLarge);
            m_result.images = PageImages(m_request.baseAddress, m_request.head, m_request.tail, m_digits);
            m_firstValue = NumberReading::numericValue(m_request.startText);
            m_lastValue = NumberReading::numericValue(m_request.endText);
            // Escaped once here rather than in every image: only the number changes from one to the next.
            m_page = escapedPattern(m_request, &CharacterEscapes::characterReferences);
            m_pageNamesDiffer = m_page.head != m_request.head || m_page.tail != m_request.tail;
            if (m_request.addressOnly)
                m_list = escapedPattern(m_request, &CharacterEscapes::percentEncoded);
            m_imageAttributes = Markup::imageAttributes(m_kind,
                                                        m_request.codePageHolds ? CharacterEscapes::characterReferences(
                                                            m_request.sizeText, m_request.codePageHolds)
                                                                                : m_request.sizeText);
            m_columns = NumberReading::wholeValue32(NumberReading::numericValue(m_request.columnsText));

            // An empty range has nothing to compare, and its start name could be of any size.
            CheckFolderMerge merge;
            if (m_request.useCheckFolder && m_request.listCheckFolder && *start <= *end)
                merge = CheckFolderMerge(m_request.listCheckFolder(), m_request.head + numberText(*start, m_digits));

            Markup::appendPageHeader(m_result.text, m_kind);
            if (*start <= *end && surelyTooLarge(qint64(*end) - *start + 1, merge.checkList().size()))
                return refuse(Reason::PageTooLarge);
            reserveFor(qint64(*end) - *start + 1);
            for (qint64 n = *start; n <= *end; ++n) {
                setFileName(n);
                if (merge.leavesOut(m_fileName)) {
                    ++m_result.leftOut;
                    continue;
                }
                if (!emitImage(n, m_fileName))
                    return;
            }
            Markup::appendPageClose(m_result.text, m_kind);

            if (m_request.addressOnly)
                writeAddressList(*start, *end);
            return;
        }

        // Nothing of the run is kept but the message.
        void refuse(Reason reason)
        {
            m_result = PageResult();
            m_refusal = reason;
        }

        // The download lists count too: together with the text they are what a run holds in memory.
        bool fits(qsizetype more)
        {
            if (m_result.text.size() + m_listUnits + more <= PageLimits::maxPageUnits)
                return true;
            refuse(Reason::PageTooLarge);
            return false;
        }

        // Whether the run is bound to stop over the limit, judged before it takes any memory: the least
        // the run holds by then is below what the loop checks, so the refusal is the one the loop
        // would give, only without first filling half a gigabyte. Every file name is at least as
        // long as its number's digits, and each listed file leaves out at most one number.
        bool surelyTooLarge(qint64 numbers, qsizetype leftOutAtMost) const
        {
            // A thumbnail page without columns is refused at its first image instead.
            if (m_kind == Markup::PageKind::Thumbnail && !m_request.addressOnly && (!m_columns || *m_columns == 0))
                return false;
            const qint64 images = std::min<qint64>(std::max<qint64>(numbers - leftOutAtMost, 0), PageLimits::maxImages);
            const qint64 fileName = m_request.head.size() + std::max<qint64>(m_digits, 1) + m_request.tail.size();
            const qint64 address = m_request.baseAddress.size() + fileName;
            qint64 perImage = address + fileName; // the download lists
            if (!m_request.addressOnly)
                perImage += 2 * address + fileName + m_imageAttributes.size();
            qint64 least = m_result.text.size() + images * perImage;
            // An address list names every number, once the images are listed without refusal.
            if (m_request.addressOnly && numbers <= PageLimits::maxImages)
                least = images * (address + fileName) + numbers * (address + 2);
            return least > PageLimits::maxPageUnits;
        }

        // One growth of the page text instead of many copies of it.
        void reserveFor(qint64 numbers)
        {
            if (numbers <= 0)
                return;
            const qint64 images = std::min<qint64>(numbers, PageLimits::maxImages);
            const qint64 wanted = m_request.addressOnly ? images
                    * (m_list.base.size() + m_list.head.size() + numberTextLength(m_digits) + m_list.tail.size() + 2)
                                                        : m_result.text.size() + Markup::charsetDeclaration.size()
                    + images * imageUnits(m_page.head.size() + numberTextLength(m_digits) + m_page.tail.size()) + 32;
            if (wanted > PageLimits::maxPageUnits)
                return;
            if (m_request.reserveText)
                m_request.reserveText(m_result.text, wanted);
            else
                m_result.text.reserve(wanted);
        }

        qsizetype imageUnits(qsizetype fileNameLength) const
        {
            const qsizetype numberLength = numberTextLength(m_digits);
            const qsizetype addressLength = m_page.base.size() + fileNameLength;
            return Markup::fixedCharactersPerImage + 3 * numberLength + 2 * addressLength + fileNameLength
                + m_imageAttributes.size();
        }

        // The names are made in buffers that keep their memory from image to image.
        void setFileName(qint64 n) { composeFileName(m_fileName, m_request.head, n, m_request.tail); }

        void composeFileName(QString &out, const QString &head, qint64 n, const QString &tail) const
        {
            out.resize(0);
            out += head;
            appendNumberText(out, n, m_digits);
            out += tail;
        }

        const QString &setAddress(const QString &base, const QString &fileName)
        {
            m_address.resize(0);
            m_address += base;
            m_address += fileName;
            return m_address;
        }

        // The file name as the page writes it.
        const QString &pageFileName(qint64 n, const QString &fileName)
        {
            if (!m_pageNamesDiffer)
                return fileName;
            composeFileName(m_pageFileName, m_page.head, n, m_page.tail);
            return m_pageFileName;
        }

        bool emitImage(qint64 n, const QString &fileName)
        {
            if (m_result.images.count() >= PageLimits::maxImages) {
                refuse(Reason::TooManyImages);
                return false;
            }
            const qsizetype addressLength = m_request.baseAddress.size() + fileName.size();
            const QString &pageName = pageFileName(n, fileName);
            const QString &address = setAddress(m_page.base, pageName);
            // In an address list the page is thrown away, so only the download lists are built.
            const bool declaresCharset = !m_request.addressOnly && m_result.images.count() == 0
                && !(isAscii(address) && isAscii(m_imageAttributes));
            const qsizetype declaration = declaresCharset ? Markup::charsetDeclaration.size() : 0;
            if (!fits(declaration + imageUnits(pageName.size()) + addressLength + fileName.size()))
                return false;
            if (declaresCharset)
                Markup::declareCharset(m_result.text);
            if (!m_request.addressOnly && !appendImageMarkup(n, address, pageName))
                return false;
            m_result.images.appendNumber(n);
            // Counted as if the lists held every name as a string, so that what fits does not
            // depend on how they are kept.
            m_listUnits += addressLength + fileName.size();
            return true;
        }

        bool appendImageMarkup(qint64 n, const QString &address, const QString &fileName)
        {
            setNumberText(m_number, n);
            const QString &number = m_number;
            if (m_kind == Markup::PageKind::Thumbnail) {
                if (!m_columns || *m_columns == 0) {
                    refuse(Reason::ZeroColumns);
                    return false;
                }
                Markup::appendThumbnailCell(m_result.text, n % *m_columns == 0, number, address, fileName,
                                            m_imageAttributes);
                return true;
            }
            QStringView prev;
            if (m_firstValue <= static_cast<double>(n - 1))
                prev = setNumberText(m_prev, n - 1);
            QStringView next;
            if (m_lastValue >= static_cast<double>(n + 1))
                next = setNumberText(m_next, n + 1);
            Markup::appendPlainBlock(m_result.text, number, prev, next, address, fileName, m_imageAttributes);
            return true;
        }

        // Reuses the buffer's capacity from image to image.
        QStringView setNumberText(QString &buffer, qint64 n) const
        {
            buffer.clear();
            appendNumberText(buffer, n, m_digits);
            return buffer;
        }

        // Every number of the range: the check folder leaves nothing out of the list.
        void writeAddressList(qint64 start, qint64 end)
        {
            m_result.text.resize(0);
            for (qint64 n = start; n <= end; ++n) {
                composeFileName(m_fileName, m_list.head, n, m_list.tail);
                const QString &address = setAddress(m_list.base, m_fileName);
                if (!fits(address.size() + 2))
                    return;
                Markup::appendAddressLine(m_result.text, address);
            }
        }

        const PageRequest &m_request;
        const Markup::PageKind m_kind;
        qint64 m_digits = 0;
        double m_firstValue = 0;
        double m_lastValue = 0;
        std::optional<std::int32_t> m_columns;
        Pattern m_page; // as the page writes it
        bool m_pageNamesDiffer = false;
        Pattern m_list; // as the address list writes it
        QString m_imageAttributes;
        qsizetype m_listUnits = 0;
        QString m_number;
        QString m_prev;
        QString m_next;
        QString m_fileName;
        QString m_pageFileName;
        QString m_address;
        PageResult m_result;
        std::optional<Reason> m_refusal;
    };
}

QString numberText(qint64 n, qint64 digits)
{
    QString text;
    text.reserve(numberTextLength(digits));
    appendNumberText(text, n, digits);
    return text;
}

QString pageHeader(bool thumbnails)
{
    QString header;
    Markup::appendPageHeader(header, thumbnails ? Markup::PageKind::Thumbnail : Markup::PageKind::Plain);
    return header;
}

QString baseAddress(QStringView text)
{
    return trimSpacesEndingInSlash(text);
}

core::Result<PageResult> generatePage(const PageRequest &request, QString storage)
{
    return Generator(request, std::move(storage)).run();
}

QString displayText(const QString &text)
{
    if (text.size() <= PageLimits::displayUnits)
        return text;
    // Half a surrogate pair would show as a broken character; the whole pair goes to the part left out.
    qsizetype cut = PageLimits::displayUnits;
    if (text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
        --cut;
    return text.first(cut) + QStringLiteral("\r\n----------  これ以降にもデータがあります.  ----------\r\n");
}
}
