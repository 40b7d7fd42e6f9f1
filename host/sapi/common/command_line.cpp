/* Command lines through CLI11, shared by brisko-php and brisko-httpd. */
#include <algorithm>
#include <cstdio>

#include "command_line.h"

namespace sapi {

namespace {

/* Two spaces, the option with its value's type name, at least four spaces
 * to the column where every description starts. */
class help_text : public CLI::FormatterBase {
public:
    explicit help_text(std::string usage_line) : usage(std::move(usage_line)) {}

    std::string make_help(const CLI::App *app, std::string, CLI::AppFormatMode) const override
    {
        std::vector<std::pair<std::string, std::string>> rows;
        std::size_t width = 0;
        for (const CLI::Option *opt : app->get_options()) {
            if (!opt->nonpositional())
                continue;
            std::string name = opt->get_lnames().empty() ? "-" + opt->get_snames().front()
                                                         : "--" + opt->get_lnames().front();
            if (!opt->get_type_name().empty())
                name += " " + opt->get_type_name();
            std::string text = opt->get_description();
            if (!opt->get_default_str().empty())
                text += " (default " + opt->get_default_str() + ")";
            width = std::max(width, name.size());
            rows.emplace_back(name, text);
        }
        const std::size_t column = 2 + width + 4;
        std::string out = "Usage: " + app->get_name() + " " + usage + "\n" + app->get_description() + "\n\n";
        for (const auto &[name, text] : rows) {
            out += "  " + name + std::string(column - 2 - name.size(), ' ');
            for (char c : text) {
                out += c;
                if (c == '\n')
                    out += std::string(column, ' ');
            }
            out += '\n';
        }
        return out;
    }

private:
    std::string usage; /* what follows the program's name on the usage line */
};

} // namespace

void add_engine_options(CLI::App &app, engine_options &opts, const std::string &setting_help)
{
    app.add_option("-z", opts.extensions,
                   "load FILE as a Zend extension (repeatable) instead of\n"
                   "the php_brisko.so beside this program")
        ->type_name("FILE")
        ->allow_extra_args(false);
    app.add_flag("-n", opts.no_extensions, "load no extension");
    app.add_option("-d", opts.given, setting_help)->type_name("NAME=VALUE")->allow_extra_args(false);
}

bool check_engine_options(engine_options &opts, std::string &error)
{
    if (opts.no_extensions && !opts.extensions.empty()) {
        error = "-n and -z exclude each other";
        return false;
    }
    opts.settings.clear();
    for (const std::string &setting : opts.given) {
        std::size_t eq = setting.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "-d needs name=value, not \"" + setting + "\"";
            return false;
        }
        opts.settings.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
    }
    return true;
}

bool parse_command_line(CLI::App &app, const std::string &usage, int argc, char **argv, int &status)
{
    app.formatter(std::make_shared<help_text>(usage));
    app.set_help_flag("-h,--help", "show this text");
    for (CLI::Option *option : app.get_options())
        if (option->get_expected_max() == 1)
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    try {
        app.parse(argc, argv);
        return true;
    } catch (const CLI::CallForHelp &) {
        std::fputs(app.help().c_str(), stdout);
        status = 0;
    } catch (const CLI::ParseError &e) {
        status = command_line_error(app, e.what());
    }
    return false;
}

int command_line_error(const CLI::App &app, const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n%s", app.get_name().c_str(), message.c_str(), app.help().c_str());
    return 1;
}

} // namespace sapi
