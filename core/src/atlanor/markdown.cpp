// Markdown rendering of a context record. Values go in as their plain text,
// unescaped: the text is read by people and pasted into prompts as it is.
#include <string>
#include <string_view>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"
#include "../value_checks.hpp"

namespace corvalt::atlanor {

namespace {

// The checks in the host's words: a context record is a dict of lists.
const Record& as_record(const Value& v, std::string_view what) {
  return record_of(v, {what}, "a dict");
}
const List& as_list(const Value& v, std::string_view what) { return list_of(v, {what}, "a list"); }

void put(std::string& out, const Value& v) {
  if (v.is_text())
    out += v.as_text();
  else
    out += to_str(v);
}

// ", ".join(domains): the elements must be text, as the host's join demands.
void join_domains(std::string& out, const Value& domains) {
  auto piece = [&](const Value& item, std::size_t i) {
    if (!item.is_text())
      throw TypeError("sequence item " + std::to_string(i) + ": expected str instance, " +
                      item.type_name() + " found");
    if (i) out += ", ";
    out += item.as_text();
  };
  if (domains.is_list()) {
    std::size_t i = 0;
    for (const Value& item : domains.as_list()) piece(item, i++);
  } else if (domains.is_record()) {
    std::size_t i = 0;
    for (const auto& item : domains.as_record()) piece(Value(item.first), i++);
  } else if (domains.is_text()) {
    // A text joins its characters, as iterating a str does.
    std::string_view s = domains.as_text();
    std::size_t pos = 0, i = 0;
    while (pos < s.size()) {
      std::size_t start = pos;
      text::next_code_point(s, pos);
      if (i++) out += ", ";
      out.append(s.substr(start, pos - start));
    }
  } else {
    throw TypeError(std::string("can only join an iterable, not ") + domains.type_name());
  }
}

}  // namespace

std::string AtlanorService::format_as_markdown(const Record& output) const {
  std::string md;
  md.reserve(1024);
  md += "# Database Context for Query: ";
  put(md, output.at("query"));
  md += "\n\n";

  if (const Value* ai_value = output.find("ai_enhanced")) {
    const Record& ai = as_record(*ai_value, "ai_enhanced");
    const Value& enhanced = ai.at("enhanced_query");
    if (enhanced.truthy()) {
      md += "## AI Enhanced Query\n\n";
      put(md, enhanced);
      md += "\n\n";
      const Value& domains = ai.at("business_domains");
      if (domains.truthy()) {
        md += "**Business Domains**: ";
        join_domains(md, domains);
        md += "\n\n";
      }
    }
  }

  const Record& objects = as_record(output.at("database_objects"), "database_objects");

  const Value& tables = objects.at("tables");
  if (tables.truthy()) {
    md += "## Relevant Tables\n\n";
    for (const Value& item : as_list(tables, "database_objects tables")) {
      const Record& table = as_record(item, "A table entry");
      md += "### ";
      put(md, table.at("name"));
      md += "\n\n";
      put(md, table.at("description"));
      md += "\n\n";
    }
  }

  const Value& columns = objects.at("columns");
  if (columns.truthy()) {
    md += "## Relevant Columns\n\n";
    md += "| Column | Data Type | Description |\n";
    md += "| ------ | --------- | ----------- |\n";
    for (const Value& item : as_list(columns, "database_objects columns")) {
      const Record& column = as_record(item, "A column entry");
      md += "| ";
      put(md, column.at("name"));
      md += " | ";
      put(md, column.at("data_type"));
      md += " | ";
      put(md, column.at("description"));
      md += " |\n";
    }
    md += "\n";
  }

  const Value& concepts = objects.at("concepts");
  if (concepts.truthy()) {
    md += "## Business Concepts\n\n";
    for (const Value& item : as_list(concepts, "database_objects concepts")) {
      const Record& entry = as_record(item, "A concept entry");
      md += "### ";
      put(md, entry.at("name"));
      md += "\n\n";
      put(md, entry.at("description"));
      md += "\n\n";
    }
  }

  if (const Value* relationships = output.find("relationships");
      relationships && relationships->truthy()) {
    md += "## Table Relationships\n\n";
    for (const Value& item : as_list(*relationships, "relationships")) {
      const Record& rel = as_record(item, "A relationship entry");
      md += "* **";
      put(md, rel.at("source"));
      md += "** \u2192 **";
      put(md, rel.at("target"));
      md += "**\n";
      md += "  * Join condition: `";
      put(md, rel.at("join_condition"));
      md += "`\n";
      const Value& description = rel.at("description");
      if (description.truthy()) {
        md += "  * Description: ";
        put(md, description);
        md += "\n";
      }
    }
    md += "\n";
  }

  const Value& rules = output.at("business_rules");
  if (rules.truthy()) {
    md += "## Business Rules\n\n";
    for (const Value& item : as_list(rules, "business_rules")) {
      md += "* ";
      put(md, as_record(item, "A business rule entry").at("description"));
      md += "\n";
    }
    md += "\n";
  }
  return md;
}

}  // namespace corvalt::atlanor
