#include "data/CompiledExpression.h"

#include <utility>

#include "core/StringUtil.h"
#include "data/ExpressionEvaluator.h"
#include "data/ScriptNumber.h"
#include "data/ScriptOperators.h"

namespace {
enum class Tok : uint8_t {
    Number, String, Ident, LParen, RParen, Comma, Dot,
    Plus, Minus, Star, Slash, Percent,
    Eq, Ne, Lt, Le, Gt, Ge, AndAnd, OrOr, Bang, End
};

struct Token {
    Tok mKind = Tok::End;
    size_t mStart = 0;
    size_t mLength = 0;
    ScriptNumber mNumber;
    std::wstring mText;  // identifier name or decoded string literal
};

bool IsIdentStart(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}
bool IsIdentChar(wchar_t c) { return IsIdentStart(c) || (c >= L'0' && c <= L'9'); }
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

class Lexer {
public:
    explicit Lexer(const std::wstring& text) : mText(text) {}

    bool Run(std::vector<Token>& tokens, std::string& error) {
        const wchar_t* begin = mText.data();
        const wchar_t* end = begin + mText.size();
        size_t i = 0;
        size_t n = mText.size();
        while (true) {
            while (i < n && IsSpace(mText[i])) ++i;
            Token token;
            token.mStart = i;
            if (i >= n) {
                tokens.push_back(std::move(token));
                return true;
            }
            wchar_t c = mText[i];
            wchar_t next = i + 1 < n ? mText[i + 1] : 0;
            if ((c >= L'0' && c <= L'9') || (c == L'.' && next >= L'0' && next <= L'9')) {
                size_t length = ScanScriptNumber(begin + i, end);
                token.mKind = Tok::Number;
                token.mNumber = ConvertScriptNumber(begin + i, length);
                i += length;
            } else if (IsIdentStart(c)) {
                size_t j = i + 1;
                while (true) {
                    while (j < n && IsIdentChar(mText[j])) ++j;
                    // '-' joins a name only when a letter or '_' follows.
                    if (j + 1 < n && mText[j] == L'-' && IsIdentStart(mText[j + 1])) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                token.mKind = Tok::Ident;
                token.mText.assign(mText, i, j - i);
                i = j;
            } else if (c == L'\'') {
                size_t j = i + 1;
                bool closed = false;
                while (j < n) {
                    wchar_t d = mText[j];
                    if (d == L'\\' && j + 1 < n && (mText[j + 1] == L'\'' || mText[j + 1] == L'\\')) {
                        token.mText.push_back(mText[j + 1]);
                        j += 2;
                    } else if (d == L'\'') {
                        closed = true;
                        ++j;
                        break;
                    } else {
                        token.mText.push_back(d);
                        ++j;
                    }
                }
                if (!closed) {
                    error = "unterminated string";
                    return false;
                }
                token.mKind = Tok::String;
                i = j;
            } else {
                size_t length = 1;
                switch (c) {
                    case L'(': token.mKind = Tok::LParen; break;
                    case L')': token.mKind = Tok::RParen; break;
                    case L',': token.mKind = Tok::Comma; break;
                    case L'.': token.mKind = Tok::Dot; break;
                    case L'+': token.mKind = Tok::Plus; break;
                    case L'-': token.mKind = Tok::Minus; break;
                    case L'*': token.mKind = Tok::Star; break;
                    case L'/': token.mKind = Tok::Slash; break;
                    case L'%': token.mKind = Tok::Percent; break;
                    case L'=':
                        if (next != L'=') {
                            error = "single '='";
                            return false;
                        }
                        token.mKind = Tok::Eq;
                        length = 2;
                        break;
                    case L'!':
                        if (next == L'=') {
                            token.mKind = Tok::Ne;
                            length = 2;
                        } else {
                            token.mKind = Tok::Bang;
                        }
                        break;
                    case L'<':
                        token.mKind = next == L'=' ? Tok::Le : Tok::Lt;
                        length = next == L'=' ? 2 : 1;
                        break;
                    case L'>':
                        token.mKind = next == L'=' ? Tok::Ge : Tok::Gt;
                        length = next == L'=' ? 2 : 1;
                        break;
                    case L'&':
                        if (next != L'&') {
                            error = "single '&'";
                            return false;
                        }
                        token.mKind = Tok::AndAnd;
                        length = 2;
                        break;
                    case L'|':
                        if (next != L'|') {
                            error = "single '|'";
                            return false;
                        }
                        token.mKind = Tok::OrOr;
                        length = 2;
                        break;
                    default:
                        error = "unexpected character";
                        return false;
                }
                i += length;
            }
            token.mLength = i - token.mStart;
            tokens.push_back(std::move(token));
        }
    }

private:
    const std::wstring& mText;
};

ExprFunction LookupFunction(const std::wstring& name) {
    static const std::pair<const wchar_t*, ExprFunction> kFunctions[] = {
        {L"sin", ExprFunction::Sin},     {L"cos", ExprFunction::Cos},
        {L"abs", ExprFunction::Abs},     {L"min", ExprFunction::Min},
        {L"max", ExprFunction::Max},     {L"floor", ExprFunction::Floor},
        {L"ceil", ExprFunction::Ceil},   {L"round", ExprFunction::Round},
        {L"sqrt", ExprFunction::Sqrt},   {L"pow", ExprFunction::Pow},
        {L"int", ExprFunction::Int},     {L"float", ExprFunction::Float},
        {L"rand", ExprFunction::Rand},   {L"randf", ExprFunction::RandF},
    };
    for (const auto& [text, function] : kFunctions)
        if (name == text) return function;
    return ExprFunction::Unknown;
}

// Recursive descent over the token list. Every rule returns the index of the
// node it built, or -1 after recording an error.
class ExprParser {
public:
    ExprParser(std::vector<Token>& tokens, CompiledExpression& out, std::string& error)
        : mTokens(tokens), mOut(out), mError(error) {}

    int ParseAll() {
        if (Peek().mKind == Tok::End) return -1;
        int root = ParseOr();
        if (root < 0) return -2;
        if (Peek().mKind != Tok::End) return Fail("unexpected token after the expression") - 1;
        return root;
    }

private:
    const Token& Peek() const { return mTokens[mPos]; }
    Token& Take() { return mTokens[mPos < mTokens.size() - 1 ? mPos++ : mPos]; }
    bool PeekIdent(const wchar_t* word) const {
        return Peek().mKind == Tok::Ident && Peek().mText == word;
    }

    int Fail(const char* message) {
        if (mError.empty()) mError = message;
        return -1;
    }

    int Add(ExprNode node) {
        mOut.mNodes.push_back(std::move(node));
        return static_cast<int>(mOut.mNodes.size()) - 1;
    }

    // Guards the rules that nest: parentheses, calls and prefix operators.
    struct DepthGuard {
        explicit DepthGuard(int& depth) : mDepth(depth) { ++mDepth; }
        ~DepthGuard() { --mDepth; }
        int& mDepth;
    };
    bool TooDeep() const { return mDepth > ExpressionEvaluator::kMaxDepth; }

    int ParseOr() {
        int first = ParseAnd();
        if (first < 0) return -1;
        if (Peek().mKind != Tok::OrOr && !PeekIdent(L"or")) return first;
        ExprNode node;
        node.mKind = ExprNodeKind::Or;
        node.mChildren.push_back(first);
        while (Peek().mKind == Tok::OrOr || PeekIdent(L"or")) {
            Take();
            int next = ParseAnd();
            if (next < 0) return -1;
            node.mChildren.push_back(next);
        }
        return Add(std::move(node));
    }

    int ParseAnd() {
        int first = ParseNot();
        if (first < 0) return -1;
        if (Peek().mKind != Tok::AndAnd && !PeekIdent(L"and")) return first;
        ExprNode node;
        node.mKind = ExprNodeKind::And;
        node.mChildren.push_back(first);
        while (Peek().mKind == Tok::AndAnd || PeekIdent(L"and")) {
            Take();
            int next = ParseNot();
            if (next < 0) return -1;
            node.mChildren.push_back(next);
        }
        return Add(std::move(node));
    }

    int ParseNot() {
        if (Peek().mKind == Tok::Bang || PeekIdent(L"not")) {
            DepthGuard guard(mDepth);
            if (TooDeep()) return Fail("nested too deeply");
            Take();
            int operand = ParseNot();
            if (operand < 0) return -1;
            ExprNode node;
            node.mKind = ExprNodeKind::Not;
            node.mChildren.push_back(operand);
            return Add(std::move(node));
        }
        return ParseCompare();
    }

    int ParseCompare() {
        int left = ParseSum();
        if (left < 0) return -1;
        ScriptCompareOp op;
        switch (Peek().mKind) {
            case Tok::Eq: op = ScriptCompareOp::Equal; break;
            case Tok::Ne: op = ScriptCompareOp::NotEqual; break;
            case Tok::Lt: op = ScriptCompareOp::Less; break;
            case Tok::Le: op = ScriptCompareOp::LessEqual; break;
            case Tok::Gt: op = ScriptCompareOp::Greater; break;
            case Tok::Ge: op = ScriptCompareOp::GreaterEqual; break;
            default: return left;
        }
        Take();
        int right = ParseSum();
        if (right < 0) return -1;
        ExprNode node;
        node.mKind = ExprNodeKind::Compare;
        node.mOp = static_cast<uint8_t>(op);
        node.mChildren = {left, right};
        return Add(std::move(node));
    }

    int ParseSum() {
        int first = ParseProduct();
        if (first < 0) return -1;
        if (Peek().mKind != Tok::Plus && Peek().mKind != Tok::Minus) return first;
        ExprNode node;
        node.mKind = ExprNodeKind::Sum;
        node.mChildren.push_back(first);
        while (Peek().mKind == Tok::Plus || Peek().mKind == Tok::Minus) {
            ScriptArithmeticOp op = Take().mKind == Tok::Plus ? ScriptArithmeticOp::Add
                                                              : ScriptArithmeticOp::Subtract;
            int next = ParseProduct();
            if (next < 0) return -1;
            node.mOps.push_back(static_cast<uint8_t>(op));
            node.mChildren.push_back(next);
        }
        return Add(std::move(node));
    }

    int ParseProduct() {
        int first = ParseUnary();
        if (first < 0) return -1;
        auto isMulOp = [](Tok t) { return t == Tok::Star || t == Tok::Slash || t == Tok::Percent; };
        if (!isMulOp(Peek().mKind)) return first;
        ExprNode node;
        node.mKind = ExprNodeKind::Product;
        node.mChildren.push_back(first);
        while (isMulOp(Peek().mKind)) {
            Tok t = Take().mKind;
            ScriptArithmeticOp op = t == Tok::Star    ? ScriptArithmeticOp::Multiply
                                    : t == Tok::Slash ? ScriptArithmeticOp::Divide
                                                      : ScriptArithmeticOp::Modulo;
            int next = ParseUnary();
            if (next < 0) return -1;
            node.mOps.push_back(static_cast<uint8_t>(op));
            node.mChildren.push_back(next);
        }
        return Add(std::move(node));
    }

    int ParseUnary() {
        if (Peek().mKind == Tok::Minus || Peek().mKind == Tok::Plus) {
            DepthGuard guard(mDepth);
            if (TooDeep()) return Fail("nested too deeply");
            bool minus = Take().mKind == Tok::Minus;
            // A sign directly on a number literal is folded into it.
            if (Peek().mKind == Tok::Number && !IsFollowedByDot()) {
                const ScriptNumber& number = Take().mNumber;
                ExprNode node;
                if (number.mIsInt)
                    node.mConstant = minus ? static_cast<int32_t>(0u - static_cast<uint32_t>(number.mInt))
                                           : number.mInt;
                else
                    node.mConstant = ScriptValue(minus ? -number.mDouble : number.mDouble);
                return Add(std::move(node));
            }
            int operand = ParseUnary();
            if (operand < 0) return -1;
            ExprNode node;
            node.mKind = minus ? ExprNodeKind::Negate : ExprNodeKind::Plus;
            node.mChildren.push_back(operand);
            return Add(std::move(node));
        }
        return ParsePostfix();
    }

    bool IsFollowedByDot() const {
        return mPos + 1 < mTokens.size() && mTokens[mPos + 1].mKind == Tok::Dot;
    }

    int ParsePostfix() {
        int base = ParsePrimary();
        if (base < 0) return -1;
        if (Peek().mKind != Tok::Dot) return base;
        ExprNode node;
        node.mKind = ExprNodeKind::Property;
        node.mChildren.push_back(base);
        while (Peek().mKind == Tok::Dot) {
            Take();
            if (Peek().mKind != Tok::Ident) return Fail("a name must follow '.'");
            ExprPropertyStep step;
            step.mName = std::move(Take().mText);
            static const std::wstring kRefSuffix = L"_ptr";
            if (step.mName.size() > kRefSuffix.size() &&
                step.mName.compare(step.mName.size() - kRefSuffix.size(), kRefSuffix.size(),
                                   kRefSuffix) == 0) {
                step.mIsRef = true;
                step.mRefProperty = step.mName.substr(0, step.mName.size() - kRefSuffix.size());
            }
            node.mSteps.push_back(std::move(step));
        }
        return Add(std::move(node));
    }

    int ParsePrimary() {
        Token& token = Take();
        switch (token.mKind) {
            case Tok::Number: {
                ExprNode node;
                node.mConstant = token.mNumber.mIsInt ? ScriptValue(token.mNumber.mInt)
                                                      : ScriptValue(token.mNumber.mDouble);
                return Add(std::move(node));
            }
            case Tok::String: {
                ExprNode node;
                node.mConstant = ScriptValue(std::move(token.mText));
                return Add(std::move(node));
            }
            case Tok::LParen: {
                DepthGuard guard(mDepth);
                if (TooDeep()) return Fail("nested too deeply");
                int inner = ParseOr();
                if (inner < 0) return -1;
                if (Take().mKind != Tok::RParen) return Fail("missing ')'");
                return inner;
            }
            case Tok::Ident:
                return ParseName(token);
            default:
                return Fail("expected a value");
        }
    }

    int ParseName(Token& token) {
        static const wchar_t* const kOperatorWords[] = {L"and", L"or", L"not"};
        for (const wchar_t* word : kOperatorWords)
            if (token.mText == word) return Fail("operator word where a value belongs");
        if (Peek().mKind == Tok::LParen) {
            DepthGuard guard(mDepth);
            if (TooDeep()) return Fail("nested too deeply");
            Take();
            ExprNode node;
            node.mKind = ExprNodeKind::Call;
            node.mFunction = LookupFunction(token.mText);
            node.mName = std::move(token.mText);
            if (Peek().mKind != Tok::RParen) {
                while (true) {
                    int argument = ParseOr();
                    if (argument < 0) return -1;
                    node.mChildren.push_back(argument);
                    if (Peek().mKind != Tok::Comma) break;
                    Take();
                }
            }
            if (Take().mKind != Tok::RParen) return Fail("missing ')' after the arguments");
            return Add(std::move(node));
        }
        ExprNode node;
        if (token.mText == L"true" || token.mText == L"false") {
            node.mConstant = token.mText == L"true";
            return Add(std::move(node));
        }
        node.mKind = ExprNodeKind::Name;
        node.mConstant = ScriptValue(token.mText);  // the bareword
        node.mName = std::move(token.mText);
        return Add(std::move(node));
    }

    std::vector<Token>& mTokens;
    CompiledExpression& mOut;
    std::string& mError;
    size_t mPos = 0;
    int mDepth = 0;
};
}  // namespace

CompiledExpression ParseExpression(const std::wstring& text, std::string* error) {
    CompiledExpression compiled;
    compiled.mText = ScriptValue(text);
    std::string message;
    std::vector<Token> tokens;
    Lexer lexer(text);
    if (text.size() > kMaxExpressionLength) {
        // No real expression is this long; the text stands for itself.
        message = "longer than " + std::to_string(kMaxExpressionLength) + " characters";
    } else if (lexer.Run(tokens, message)) {
        ExprParser parser(tokens, compiled, message);
        int root = parser.ParseAll();
        if (root >= -1) {
            compiled.mParsed = true;
            compiled.mRoot = root;
            if (error) error->clear();
            return compiled;
        }
    }
    compiled.mNodes.clear();
    compiled.mNodes.shrink_to_fit();
    compiled.mRoot = -1;
    if (error) *error = message;
    return compiled;
}
