#pragma once
#include <string>

#include "data/Parser.h"

// Reads constants.xml into a private table and publishes it whole (see
// data/Constants.h). Each child of the root <constants> element is typed:
//   <int name="n" value="expr"/>   <float .../>   <bool .../>
//   <string name="n" value="literal text"/>
//   <color name="n" value="r,g,b[,a]"/>
// An int, float, bool or color value is an expression that may use the
// constants above it. A repeated name takes the later value.
class ConstantsLoader : public Parser {
public:
    // On success the table replaces the published constants; on failure
    // nothing is published and GetErrorText() says why.
    bool Load(const std::string& path);
    // The table read by the last successful load.
    const VariableMap& GetTable() const { return mVariables; }

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;

private:
    bool ReadConstant(const XMLElement& element);
    int mDepth = 0;
};

// Loads "properties/constants.xml" through the file access layer; on failure
// the error names the file, the line and the reason.
bool LoadConstantsFile(std::string* error = nullptr);
