<?php
function page() { return "page v1" }
