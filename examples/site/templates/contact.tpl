<!-- BEGIN thanks* --><div class="notice" id="thanks">Thank you, <b>{name}</b>. We will answer at <b>{email}</b>. Your message:
<blockquote id="echo">{message}</blockquote></div>
<!-- END thanks* --><!-- BEGIN problem* --><p class="error">{text}</p>
<!-- END problem* --><form method="post" action="/contact.php" id="contact">
<label>Name <input name="name" id="name" value="{name}"></label>
<label>E-mail <input name="email" id="email" value="{email}"></label>
<label>Message <textarea name="message" id="message" rows="5">{message}</textarea></label>
<button type="submit" id="send">Send</button>
</form>
<p class="hint">The form posts to itself; what you typed comes back escaped, so markup shows as text.</p>
