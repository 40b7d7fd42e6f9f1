<?php
function good() { return "good"; }
