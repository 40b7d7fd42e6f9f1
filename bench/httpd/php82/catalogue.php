<?php
// The demo's catalogue page as a PHP 8 site would write it: HTML snippets
// filled with str_replace, the catalogue worked out once and kept in a
// generated PHP file that OPcache then holds in memory.
$started = hrtime(true);

function tpl(string $name): string
{
    static $cache = [];
    return $cache[$name] ??= file_get_contents(__DIR__ . "/templates/$name.html");
}

function fill(string $template, array $values): string
{
    return str_replace(array_map(fn($k) => '{' . $k . '}', array_keys($values)), array_values($values), $template);
}

function e(string $text): string
{
    return htmlspecialchars($text, ENT_QUOTES);
}

function books_make(): array
{
    $adjectives = ["Silent", "Crimson", "Hidden", "Last", "Golden", "Broken", "Northern", "Distant", "Quiet",
                   "Burning", "Paper", "Winter"];
    $nouns = ["Harbour", "Garden", "Engine", "River", "Library", "Orchard", "Lantern", "Archive", "Meadow",
              "Compass", "Tower", "Atlas"];
    $firsts = ["Ada", "Brion", "Clara", "Dmitri", "Elif", "Farid", "Greta", "Hugo", "Ines", "Jonas"];
    $lasts = ["Abbott", "Brandt", "Castel", "Dorsey", "Ekberg", "Fontaine", "Grieve", "Holm", "Ilves", "Jarmo"];
    $remarks = ["Could not put it down.", "Slow start, great ending.", "A little long.", "Beautifully written.",
                "Not for me.", "I bought three copies.", "The <em>best</em> book about \"harbours\" & such."];
    $books = [];
    $reviews = 0;
    $seed = 1;
    for ($i = 0; $i < 96; $i++) {
        $seed = ($seed * 75 + 74) % 65537;
        $score = 0;
        for ($k = 0; $k < 150; $k++) {
            $score = ($score * 31 + $seed + $k) % 1000003;
        }
        $list = [];
        for ($r = 0; $r < $seed % 4; $r++) {
            $list[] = ["stars" => 1 + ($seed + $r * 7) % 5, "text" => $remarks[($seed + $r) % 7],
                       "reviewer" => $firsts[($seed + $r * 3) % 10]];
            $reviews++;
        }
        $books[] = ["title" => "The " . $adjectives[$seed % 12] . " " . $nouns[intdiv($seed, 12) % 12],
                    "author" => $firsts[intdiv($seed, 144) % 10] . " " . $lasts[intdiv($seed, 7) % 10],
                    "year" => 1950 + $seed % 70, "price" => number_format(5 + ($seed % 3000) / 100, 2),
                    "score" => $score, "reviews" => $list];
    }
    return ["books" => $books, "reviews" => $reviews];
}

$cache_file = sys_get_temp_dir() . "/brisko-bench-catalogue.php";
$catalogue = @include $cache_file;
if (!is_array($catalogue)) {
    $catalogue = books_make();
    $catalogue["made"] = "worked out by worker " . getmypid();
    $tmp = $cache_file . "." . getmypid();
    file_put_contents($tmp, "<?php return " . var_export($catalogue, true) . ";");
    rename($tmp, $cache_file);
    $catalogue["origin"] = "computed for this request: " . $catalogue["made"];
} else {
    $catalogue["origin"] = "from the file cache, " . $catalogue["made"];
}

$per_page = 8;
$books = $catalogue["books"];
$total = count($books);
$pages = (int)ceil($total / $per_page);
$page = max(1, min($pages, (int)($_GET["page"] ?? 1)));
$first = ($page - 1) * $per_page;

$items = "";
foreach (array_slice($books, $first, $per_page) as $i => $book) {
    $reviews = "";
    foreach ($book["reviews"] as $review) {
        $reviews .= fill(tpl("review"), [
            "stars" => str_repeat("&#9733;", $review["stars"]) . str_repeat("&#9734;", 5 - $review["stars"]),
            "text" => e($review["text"]), "reviewer" => e($review["reviewer"])]);
    }
    if ($reviews === "") {
        $reviews = "<p class=\"none\">No reviews yet.</p>\n";
    }
    $items .= fill(tpl("book"), ["number" => $first + $i + 1, "title" => e($book["title"]),
        "author" => e($book["author"]), "year" => $book["year"], "price" => "$" . $book["price"],
        "reviews" => $reviews]);
}
$links = "";
for ($n = 1; $n <= $pages; $n++) {
    $links .= "<a href=\"/catalogue.php?page=$n\" class=\"" . ($n == $page ? "current" : "") . "\">$n</a>";
}
$content = fill(tpl("catalogue"), ["total" => $total, "reviews" => $catalogue["reviews"], "page" => $page,
    "pages" => $pages, "first" => $first + 1, "data_origin" => e($catalogue["origin"]), "books" => $items,
    "prev" => $page > 1 ? "<a href=\"/catalogue.php?page=" . ($page - 1) . "\" rel=\"prev\" id=\"prev\">&larr; Previous</a>" : "",
    "pagelinks" => $links,
    "next" => $page < $pages ? "<a href=\"/catalogue.php?page=" . ($page + 1) . "\" rel=\"next\" id=\"next\">Next &rarr;</a>" : ""]);

$nav = "";
foreach (["/" => "Home", "/catalogue.php" => "Catalogue", "/contact.php" => "Contact", "/info.php" => "Engine"] as $href => $label) {
    $nav .= "<a href=\"$href\" class=\"" . ($href == "/catalogue.php" ? "current" : "") . "\">$label</a>";
}
echo fill(tpl("layout"), ["title" => "Catalogue", "nav" => $nav, "content" => $content, "pid" => getmypid(),
    "requests" => "?", "script_cache" => "OPcache", "library_cache" => "none",
    "elapsed" => number_format((hrtime(true) - $started) / 1e6, 1)]);
