<?php
// The catalogue: books made up from word lists, each with a popularity
// score that takes a while to work out, as a real shop would total its
// orders. A worker works it out once and keeps the result in the value
// store; without the extension every request does it again.

function books_make()
{
    $adjectives = array("Silent", "Crimson", "Hidden", "Last", "Golden", "Broken", "Northern", "Distant",
                        "Quiet", "Burning", "Paper", "Winter");
    $nouns = array("Harbour", "Garden", "Engine", "River", "Library", "Orchard", "Lantern", "Archive",
                   "Meadow", "Compass", "Tower", "Atlas");
    $firsts = array("Ada", "Brion", "Clara", "Dmitri", "Elif", "Farid", "Greta", "Hugo", "Ines", "Jonas");
    $lasts = array("Abbott", "Brandt", "Castel", "Dorsey", "Ekberg", "Fontaine", "Grieve", "Holm",
                   "Ilves", "Jarmo");
    $remarks = array("Could not put it down.", "Slow start, great ending.", "A little long.",
                     "Beautifully written.", "Not for me.", "I bought three copies.",
                     "The <em>best</em> book about \"harbours\" & such.");
    $books = array();
    $reviews = 0;
    $seed = 1;
    for ($i = 0; $i < 96; $i++) {
        $seed = ($seed * 75 + 74) % 65537;
        $score = 0;
        for ($k = 0; $k < 150; $k++) {
            $score = ($score * 31 + $seed + $k) % 1000003;
        }
        $list = array();
        $count = $seed % 4;
        for ($r = 0; $r < $count; $r++) {
            $list[] = array("stars" => 1 + ($seed + $r * 7) % 5,
                            "text" => $remarks[($seed + $r) % 7],
                            "reviewer" => $firsts[($seed + $r * 3) % 10]);
            $reviews++;
        }
        $books[] = array(
            "title" => "The " . $adjectives[$seed % 12] . " " . $nouns[(int)($seed / 12) % 12],
            "author" => $firsts[(int)($seed / 144) % 10] . " " . $lasts[(int)($seed / 7) % 10],
            "year" => 1950 + $seed % 70,
            "price" => number_format(5 + ($seed % 3000) / 100, 2),
            "score" => $score,
            "reviews" => $list);
    }
    return array("books" => $books, "reviews" => $reviews);
}

// One page of the catalogue with the catalogue's summary. A worker works
// the catalogue out once and keeps it in the value store a page per key,
// so that a request copies out only the books it shows.
function books_page($page, $per_page)
{
    $summary = brisko_heap_get("catalogue", "summary");
    if ($summary === null) {
        $start = microtime();
        $made = books_make();
        $total = count($made["books"]);
        $pages = (int)ceil($total / $per_page);
        for ($p = 1; $p <= $pages; $p++) {
            brisko_heap_set("catalogue", "page " . $p, array_slice($made["books"], ($p - 1) * $per_page, $per_page));
        }
        $summary = array("total" => $total, "reviews" => $made["reviews"], "pages" => $pages,
                         "made" => "worked out in " . site_elapsed($start) . " ms by worker " . posix_getpid());
        brisko_heap_set("catalogue", "summary", $summary);
        $summary["origin"] = "computed for this request: " . $summary["made"];
        $books = $made["books"];
        $page = max(1, min($pages, $page));
        $books = array_slice($books, ($page - 1) * $per_page, $per_page);
    } else {
        $summary["origin"] = "from the value store, " . $summary["made"];
        $page = max(1, min($summary["pages"], $page));
        $books = brisko_heap_get("catalogue", "page " . $page);
    }
    $summary["page"] = $page;
    $summary["books"] = $books;
    return $summary;
}
