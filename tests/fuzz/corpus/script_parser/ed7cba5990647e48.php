<?php function old_api() { return "old api"; }
