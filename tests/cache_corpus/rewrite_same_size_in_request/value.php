<?php return "A";
