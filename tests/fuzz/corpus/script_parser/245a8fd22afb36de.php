<?php
brisko_heap_set("g", "b", 1);
brisko_heap_set("g", "a", 2);
brisko_heap_set("g", "5", "five");
